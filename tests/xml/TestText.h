// Helpers for the reader's tests: readable UTF-16 comparisons and scratch files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

// UTF-16 as UTF-8, so that failures print readable text.
inline std::string U8(std::u16string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        std::uint32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

inline std::u16string U16(std::string_view ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

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
