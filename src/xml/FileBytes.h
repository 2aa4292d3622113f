// Reading a whole file named by a UTF-16 path.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Fills `bytes` with the file's content. On failure (including a file of 2 GiB or
// more) returns false, leaves in `bytes` what was read before the failure (nothing
// when the file could not be opened) and sets `errorText` to the first line of the
// system's message for the error.
bool ReadFileBytes(std::u16string_view path, std::vector<std::uint8_t>& bytes, std::u16string& errorText);

// The document reader reads files through this, so that a test can make a read fail
// where it chooses.
using FileReadFunction = bool (*)(std::u16string_view path, std::vector<std::uint8_t>& bytes,
                                  std::u16string& errorText);
