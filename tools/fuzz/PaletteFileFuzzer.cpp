// libFuzzer target for the maintenance palette reader: any bytes give either the records or one
// error and no records, and the listing of what was read is well formed.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "core/palette/PaletteFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const kanvo::PaletteRecords parsed = kanvo::parsePaletteFile(std::span<const std::uint8_t>(data, size));
    if (parsed.error != kanvo::PaletteFileError::None) {
        if (!parsed.records.empty() || kanvo::errorText(parsed.error).empty())
            std::abort();
        return 0;
    }
    if (size < 4 || parsed.records.size() != (size - 4) / 8 || parsed.records.size() > 500)
        std::abort();
    const std::string text = kanvo::formatPaletteText(parsed.records);
    std::size_t lines = 0;
    for (const char c : text)
        lines += c == '\n' ? 1 : 0;
    if (lines != 2 * parsed.records.size() || (!text.empty() && text.back() != '\n'))
        std::abort();
    return 0;
}
