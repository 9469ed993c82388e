// libFuzzer target for the BMP reader: any bytes must be refused or decoded without a crash,
// a hang or an unbounded allocation, and a decoded picture must be self-consistent.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "core/image/ClsDIB.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    kanvo::ClsDIB dib;
    if (dib.loadFromMemory(std::span<const std::uint8_t>(data, size))) {
        std::span<const std::uint8_t> view;
        const int stride = dib.MapArray(view);
        if (dib.ColorBit() != 24 || view.size() != static_cast<std::size_t>(stride) * dib.Height()
            || dib.Width() < 1 || dib.Height() < 1) {
            std::abort();
        }
        // The encoder must accept whatever the decoder made.
        if (dib.encodeBmp().size() != 54 + view.size()) {
            std::abort();
        }
    }
    return 0;
}
