#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The bytes of a regular file, at most limit of them (a larger file yields limit bytes, so
// the reader can tell it is too large). Nothing for a file that cannot be opened, or is not
// a regular file (a pipe or a device would block or never end).
// failure, where given, receives why: "/home/tech/none.sif: No such file or directory".
std::optional<std::vector<std::uint8_t>> readFileBytes(const std::string& path, std::size_t limit,
                                                       std::string* failure = nullptr);

// Writes text to path, replacing it; empty when done, otherwise why not, with the whole path.
std::string writeFile(const std::string& path, const std::string& text);

// A relative path made whole, so that every message about a file says where it looked.
std::string wholePath(const std::string& path);

// The last part of a path, as messages name files.
std::string fileNameOf(const std::string& path);
