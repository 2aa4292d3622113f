// Code-page conversion by the system.
#include "xml/CodePageConversion.h"

#include <windows.h>

#include <climits>

bool ConvertFromCodePage(std::uint32_t codePage, std::span<const std::uint8_t> bytes, std::u16string& out) {
    if (bytes.empty()) return IsValidCodePage(codePage) || codePage == CP_ACP;
    if (bytes.size() > INT_MAX) return false;
    auto in = reinterpret_cast<const char*>(bytes.data());
    int inLength = static_cast<int>(bytes.size());
    SetLastError(ERROR_SUCCESS);
    int n = MultiByteToWideChar(codePage, 0, in, inLength, nullptr, 0);
    // No output is a result too (UTF-7's lone "+"); only an unknown code page fails.
    if (n <= 0) return GetLastError() != ERROR_INVALID_PARAMETER;
    std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(n));
    n = MultiByteToWideChar(codePage, 0, in, inLength, reinterpret_cast<wchar_t*>(out.data() + at), n);
    out.resize(at + static_cast<std::size_t>(n > 0 ? n : 0));
    return n > 0;
}
