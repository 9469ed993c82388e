#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kanvo {

// Writes `bytes` to `path` so that a reader sees either the old file or the complete new one:
// the bytes go to a temporary file in the same folder, are flushed to disk, and the temporary
// file is then renamed over `path`. On any failure the temporary file is removed, an existing
// file at `path` is left exactly as it was, false is returned and, when `error` is given, a
// one-line reason (with the system's error text) is stored there.
// Every file the program writes goes through this function.
[[nodiscard]] bool writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
    std::string* error = nullptr);

} // namespace kanvo
