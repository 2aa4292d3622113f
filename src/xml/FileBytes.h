// Reading a whole file named by a UTF-16 path.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Fills `bytes` with the file's content. On failure (including a file of 2 GiB or
// more) returns false and sets `errorText` to the first line of the system's
// message for the error.
bool ReadFileBytes(std::u16string_view path, std::vector<std::uint8_t>& bytes, std::u16string& errorText);
