#pragma once

#include <string>
#include <string_view>

namespace tovimar {

// Writes `bytes` as the whole content of the file at `path`. A regular file (or a new one)
// is written to a temporary file beside it and renamed over it only once every byte has
// been written, so a failed write (a full disk) leaves an earlier file as it was. Anything
// else (a device, a pipe, a link) is written in place; a pipe that nobody reads is refused
// at once instead of blocking. Throws std::runtime_error with a message that names the
// file and what it is (`what`, e.g. "data file") when it cannot be written completely.
void WriteTextFile(const std::string& path, std::string_view bytes, std::string_view what);

}  // namespace tovimar
