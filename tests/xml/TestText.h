// Helpers for the reader's tests: readable UTF-16 comparisons and scratch files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "xml/Utf8Text.h"

// UTF-16 as UTF-8, so that failures print readable text.
inline std::string U8(std::u16string_view s) { return Utf8FromUtf16(s); }

inline std::u16string U16(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// A file in a fresh scratch folder, removed with the object.
class ScratchFile {
public:
    explicit ScratchFile(std::string_view content, std::string_view name = "doc.xml") {
        static int counter = 0;
        m_dir = std::filesystem::temp_directory_path() /
                ("k7xml-" + std::to_string(std::random_device{}()) + "-" + std::to_string(++counter));
        std::filesystem::create_directories(m_dir);
        m_path = m_dir / name;
        std::ofstream(m_path, std::ios::binary).write(content.data(), static_cast<std::streamsize>(content.size()));
    }
    ~ScratchFile() {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    std::u16string Path() const { return m_path.u16string(); }
    std::filesystem::path Dir() const { return m_dir; }

private:
    std::filesystem::path m_dir;
    std::filesystem::path m_path;
};
