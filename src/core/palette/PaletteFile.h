#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/palette/ThreadTable.h"

namespace kanvo {

// The maintenance palette file: a 4-byte header (its value is not used) followed by 8-byte
// records, each the thread's colour then its thread number as 32-bit little-endian integers.
// At most ThreadTable::kEntries (500) records fit the thread table.
enum class PaletteFileError {
    None,
    CannotOpen,      // the palette file cannot be read
    MissingHeader,   // shorter than the 4-byte header
    PartialRecord,   // the file ends inside a record
    TooManyRecords,  // more than 500 records
    CannotWrite,     // the text file cannot be written
};

[[nodiscard]] std::string errorText(PaletteFileError error);

struct PaletteRecords {
    std::vector<ThreadColor> records; // record n at [n - 1]
    PaletteFileError error = PaletteFileError::None;
};

// Decodes a palette file held in memory. On error no records are returned.
[[nodiscard]] PaletteRecords parsePaletteFile(std::span<const std::uint8_t> bytes);

// The text listing of records 1..n: for each record the two lines
//   dmc(n).color = <colour in decimal>
//   dmc(n).cindex = "<thread number in decimal>"
// each ending in a line feed.
[[nodiscard]] std::string formatPaletteText(std::span<const ThreadColor> records);

struct ReadColorResult {
    int records = 0; // records read into the table
    PaletteFileError error = PaletteFileError::None;
    std::string detail; // system reason for CannotOpen / CannotWrite, else empty
};

// The "readColor" maintenance command: reads `palettePath`, stores record n in table entry n
// (entry 1 first; entries after the last record are kept) and writes the listing to `textPath`
// (an existing file is replaced atomically). The whole file is checked first: on any error
// neither the table nor the text file is changed.
[[nodiscard]] ReadColorResult readColor(
    const std::string& palettePath, const std::string& textPath, ThreadTable& table);

} // namespace kanvo
