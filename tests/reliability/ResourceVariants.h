// The forms in which the two files beside the agent are tried: missing, empty, in UTF-16
// big-endian, in a declared code page with bytes that code page lacks, and random bytes.
#pragma once

#include "xml/Utf8Text.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

inline std::string ReadAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The file's text (UTF-8, with its declaration) as UTF-16 big-endian with a byte-order mark.
inline std::string Utf16Be(const std::string& utf8) {
    std::string out = "\xFE\xFF";
    for (char16_t c : Utf16FromUtf8(utf8)) {
        out.push_back(static_cast<char>(c >> 8));
        out.push_back(static_cast<char>(c & 0xFF));
    }
    return out;
}

struct ResourceVariant {
    const char* name;
    std::string (*content)(const std::string& shipped);  // nullptr: no file
};

inline constexpr ResourceVariant kResourceVariants[] = {
    {"missing", nullptr},
    {"empty", [](const std::string&) { return std::string(); }},
    {"UTF-16 big-endian", [](const std::string& s) { return Utf16Be(s); }},
    {"declared code page",
     [](const std::string& s) {
         std::string t = s;
         const auto at = t.find("encoding=\"");
         if (at != std::string::npos) t.replace(at, t.find('"', at + 10) - at + 1, "encoding=\"windows-1252\"");
         return t + "\x80\xFF";
     }},
    {"random bytes",
     [](const std::string& s) {
         std::mt19937 random(7);
         std::string t(s.size(), '\0');
         for (char& c : t) c = static_cast<char>(random());
         return t;
     }},
};

inline constexpr const char* kResourceFiles[] = {"ButtonPos.xml", "language.xml", "both"};

// Fills `dir` with the two files: `file` (or both) in the form `variant`, the other as
// shipped in `res`.
inline void WriteResourceFiles(const std::filesystem::path& res, const std::filesystem::path& dir,
                               const std::string& file, const ResourceVariant& variant) {
    for (const char* name : {"ButtonPos.xml", "language.xml"}) {
        std::filesystem::remove(dir / name);
        if (name != file && file != "both")
            std::filesystem::copy_file(res / name, dir / name);
        else if (variant.content)
            std::ofstream(dir / name, std::ios::binary) << variant.content(ReadAll(res / name));
    }
}
