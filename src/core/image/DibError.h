#pragma once

#include <string_view>

namespace kanvo {

// Why an image buffer operation failed. None after every success.
enum class DibError {
    None,
    BadBitCount,  // a colour depth other than 1, 4, 8, 16, 24 or 32 bits
    Overflow,     // the row stride or pixel memory size does not fit the integer range
    TooLarge,     // beyond the decoder's limits (32768 pixels a side, 512 MiB of pixels) or out of memory
    OpenFailed,   // the file could not be opened
    ReadFailed,   // reading the file failed
    NotBmp,       // the bytes do not start with a BMP file header
    Truncated,    // the file ends before its headers, palette or pixels do
    Corrupt,      // inconsistent header fields or pixel data
    Unsupported,  // a valid BMP variant this reader does not decode (JPEG/PNG inside, Huffman, ...)
    Empty,        // the operation needs a buffer that holds a bitmap
    WriteFailed,  // the file could not be written; an existing file was kept
};

// One-line English text for an error, for logs and the command-line tool.
[[nodiscard]] std::string_view errorText(DibError error);

} // namespace kanvo
