// Files on POSIX systems: the UTF-16 path is passed on as UTF-8, and the error text
// is strerror's.
#include "xml/FileBytes.h"
#include "xml/Utf8Text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

constexpr std::size_t kMaxFileBytes = 0x7FFFFFFF;

std::u16string ErrorText(int error) {
    std::u16string text;
    for (const char* p = std::strerror(error); *p && *p != '\r' && *p != '\n'; ++p)
        text += static_cast<char16_t>(static_cast<unsigned char>(*p));
    return text;
}

}  // namespace

bool ReadFileBytes(std::u16string_view path, std::vector<std::uint8_t>& bytes, std::u16string& errorText) {
    bytes.clear();
    std::string name = Utf8FromUtf16(path);
    // A name with an embedded null would silently open another file.
    if (name.find('\0') != std::string::npos) {
        errorText = ErrorText(ENOENT);
        return false;
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(name.c_str(), "rb"), &std::fclose);
    if (!file) {
        errorText = ErrorText(errno);
        return false;
    }
    // Read to the end rather than trusting a size: a directory opens but cannot be read.
    std::uint8_t chunk[65536];
    while (std::size_t n = std::fread(chunk, 1, sizeof chunk, file.get())) {
        // The same limit as on Windows: element offsets are 32-bit.
        if (bytes.size() + n > kMaxFileBytes) {
            errorText = ErrorText(EFBIG);
            return false;
        }
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    if (std::ferror(file.get())) {
        errorText = ErrorText(errno);
        return false;
    }
    return true;
}
