// Character-set names (as declared in XML and HTML files) to Windows code pages.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "xml/HashedNameTable.h"

inline constexpr std::size_t kCharsetNameCount = 254;
inline constexpr std::size_t kCharsetBuckets = 150;

// Stands for 32-bit text, which no code page converter takes.
inline constexpr std::uint32_t kCodePageUtf32 = 65005;

// 0 for an empty name, kCodePageUtf32 for a name starting with "UTF-32" (exact case),
// the code page of a known name in any letter case, otherwise none.
std::optional<std::uint32_t> CodePageForCharset(std::u16string_view name);

// Every entry of the table, bucket by bucket.
std::span<const NamedValue> CharsetNames();
