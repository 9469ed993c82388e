// libFuzzer target for the BMP reader: any bytes must be refused or decoded without a crash,
// a hang or an unbounded allocation, and a decoded picture must be self-consistent.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "core/image/ClsDIB.h"

namespace {

std::int64_t le(const std::uint8_t* p, int bytes)
{
    std::int64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

// The pixel count the header claims (core or information header). Big pictures are decoded
// correctly but slowly; the hostile-input tests cover them, and leaving them out here lets
// the fuzzer spend its time on the parsing paths instead of on clearing large buffers.
std::int64_t claimedPixels(const std::uint8_t* data, std::size_t size)
{
    if (size < 26)
        return 0;
    if (le(data + 14, 4) == 12)
        return le(data + 18, 2) * le(data + 20, 2);
    const auto width = static_cast<std::int32_t>(le(data + 18, 4));
    const auto height = static_cast<std::int32_t>(le(data + 22, 4));
    return std::abs(static_cast<std::int64_t>(width)) * std::abs(static_cast<std::int64_t>(height));
}

constexpr std::int64_t kMaxFuzzedPixels = std::int64_t{1} << 22;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (claimedPixels(data, size) > kMaxFuzzedPixels)
        return 0;
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
