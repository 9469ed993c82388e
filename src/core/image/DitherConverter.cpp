#include "core/image/DitherConverter.h"

#include <cstdint>
#include <span>

#include "core/common/Rounding.h"
#include "core/image/ClsDIB.h"
#include "core/image/DitherTable.h"

namespace kanvo {

namespace {

// Thresholds of one pixel for its blue, green and red channels.
struct Thresholds {
    int blue;
    int green;
    int red;
};

Thresholds thresholdsAt(int x, int rowFromTop, bool rotate)
{
    const int c = x & 15;
    const int d = rowFromTop & 15;
    const int natural = kDitherTable[static_cast<std::size_t>(naturalPosition(c, d))];
    if (!rotate) {
        return {natural, natural, natural};
    }
    return {kDitherTable[static_cast<std::size_t>(bluePosition(c, d))], natural,
        kDitherTable[static_cast<std::size_t>(redPosition(c, d))]};
}

// Level of v on levels spaced `step` apart (integer step): q + 1 when the fraction of the way to
// the next level, scaled to 0..256, exceeds the threshold. (v mod s) * 256 / s > t is compared
// as (v mod s) * 256 > t * s, which is exact.
int levelInteger(int v, int step, int topLevel, int threshold)
{
    if (v == 255) {
        return topLevel;
    }
    const int q = v / step;
    return (v % step) * 256 > threshold * step ? q + 1 : q;
}

// The same for a step that is not a whole number, computed in single precision throughout.
int levelFloat(int v, float step, int topLevel, int threshold)
{
    if (v == 255) {
        return topLevel;
    }
    const float value = static_cast<float>(v);
    const int q = static_cast<int>(value / step);
    const float f = (value - static_cast<float>(q) * step) * 256.0f / step;
    return f > static_cast<float>(threshold) ? q + 1 : q;
}

// Writes values of `bits` bits (1, 4, 8) into one row, left to right; the last partial byte is
// completed with zero pixels by finish(). Pad bytes after the row are never written.
class RowPacker {
public:
    RowPacker(std::uint8_t* row, int bits) : out_(row), bits_(bits) {}

    void put(int value)
    {
        if (bits_ == 8) {
            *out_++ = static_cast<std::uint8_t>(value);
            return;
        }
        if (bits_ == 4) {
            if (count_ == 0) {
                pending_ = static_cast<std::uint8_t>(value << 4);
                count_ = 1;
            } else {
                *out_++ = static_cast<std::uint8_t>(pending_ | (value & 0x0F));
                pending_ = 0;
                count_ = 0;
            }
            return;
        }
        if (value != 0) {
            pending_ = static_cast<std::uint8_t>(pending_ | kBitMask[static_cast<std::size_t>(count_)]);
        }
        if (++count_ == 8) {
            *out_++ = pending_;
            pending_ = 0;
            count_ = 0;
        }
    }

    void finish()
    {
        if (count_ != 0) {
            *out_++ = pending_;
            pending_ = 0;
            count_ = 0;
        }
    }

private:
    std::uint8_t* out_;
    int bits_;
    std::uint8_t pending_ = 0;
    int count_ = 0;
};

// The shared frame of every converter: checks the source, re-creates the target, writes the
// palette, then walks the memory rows bottom first and hands each pixel's blue, green, red and
// position to `pixel`, which returns the packed value (or writes 24-bit output itself).
template <typename PaletteFn, typename PixelFn>
bool convert(const ClsDIB& srcIn, ClsDIB& dst, int targetBits, PaletteFn writePalette, PixelFn pixel)
{
    if (srcIn.ColorBit() != 24) {
        dst.setLastError(DibError::BadBitCount);
        return false;
    }
    // Converting a buffer into itself: re-creating the target would free the source first.
    ClsDIB copy;
    const ClsDIB* srcPtr = &srcIn;
    if (&srcIn == &dst) {
        copy = srcIn;
        srcPtr = &copy;
    }
    const ClsDIB& src = *srcPtr;
    const int width = src.Width();
    const int height = src.Height();
    if (!dst.Create(width, height, targetBits, false)) {
        return false;
    }
    writePalette(dst);
    std::span<const std::uint8_t> in;
    const int inStride = src.MapArray(in);
    std::span<std::uint8_t> out;
    const int outStride = dst.MapArray(out);
    for (int row = 0; row < height; ++row) {
        const int r = height - 1 - row;
        const std::uint8_t* s = in.data() + static_cast<std::size_t>(row) * inStride;
        std::uint8_t* o = out.data() + static_cast<std::size_t>(row) * outStride;
        if (targetBits == 24) {
            for (int x = 0; x < width; ++x) {
                pixel(s[3 * x], s[3 * x + 1], s[3 * x + 2], x, r, o + 3 * x);
            }
            continue;
        }
        RowPacker packer(o, targetBits);
        for (int x = 0; x < width; ++x) {
            packer.put(pixel(s[3 * x], s[3 * x + 1], s[3 * x + 2], x, r, nullptr));
        }
        packer.finish();
    }
    dst.setLastError(DibError::None);
    return true;
}

void greyPalette(ClsDIB& dst, int entries, int step)
{
    for (int k = 0; k < entries; ++k) {
        const int v = step * k;
        (void)dst.SetColorTable(k, makeColor(v, v, v));
    }
}

// Shared by the 4-grey and 16-grey converters: level = round(g) div s, raised by one when the
// single-precision fraction beyond it exceeds the threshold.
int greyLevel(int blue, int green, int red, int x, int r, int step, int topLevel)
{
    // The weighted sum is formed in double and held in single precision.
    const float g = static_cast<float>(0.299 * red + 0.587 * green + 0.114 * blue);
    int level = roundHalfEvenInt(g) / step;
    if (level < topLevel) {
        const float stepF = static_cast<float>(step);
        const float f = (g - stepF * static_cast<float>(level)) * 256.0f / stepF;
        if (f > static_cast<float>(thresholdsAt(x, r, false).green)) {
            ++level;
        }
    }
    return level;
}

} // namespace

bool DitherConverter::toOneBit(const ClsDIB& src, ClsDIB& dst)
{
    return convert(
        src, dst, 1,
        [](ClsDIB& d) {
            (void)d.SetColorTable(0, makeColor(0, 0, 0));
            (void)d.SetColorTable(1, makeColor(255, 255, 255));
        },
        [](int blue, int green, int red, int x, int r, std::uint8_t*) {
            const int grey = roundHalfEvenInt(0.299 * red + 0.587 * green + 0.114 * blue);
            return thresholdsAt(x, r, false).green < grey ? 1 : 0;
        });
}

bool DitherConverter::toTwoBit(const ClsDIB& src, ClsDIB& dst)
{
    return convert(
        src, dst, 4, [](ClsDIB& d) { greyPalette(d, 4, 85); },
        [](int blue, int green, int red, int x, int r, std::uint8_t*) {
            return greyLevel(blue, green, red, x, r, 85, 3);
        });
}

bool DitherConverter::toFourBit(const ClsDIB& src, ClsDIB& dst)
{
    return convert(
        src, dst, 4, [](ClsDIB& d) { greyPalette(d, 16, 17); },
        [](int blue, int green, int red, int x, int r, std::uint8_t*) {
            return greyLevel(blue, green, red, x, r, 17, 15);
        });
}

bool DitherConverter::toThreeBit(const ClsDIB& src, ClsDIB& dst, bool rotate)
{
    return convert(
        src, dst, 4,
        [](ClsDIB& d) {
            for (int k = 0; k < 8; ++k) {
                (void)d.SetColorTable(k, makeColor((k & 1) ? 255 : 0, (k & 2) ? 255 : 0, (k & 4) ? 255 : 0));
            }
        },
        [rotate](int blue, int green, int red, int x, int r, std::uint8_t*) {
            const Thresholds t = thresholdsAt(x, r, rotate);
            const int b = blue * 256 / 255 > t.blue ? 1 : 0;
            const int g = green * 256 / 255 > t.green ? 1 : 0;
            const int rr = red * 256 / 255 > t.red ? 1 : 0;
            return 4 * b + 2 * g + rr;
        });
}

bool DitherConverter::to216(const ClsDIB& src, ClsDIB& dst, bool rotate)
{
    return convert(
        src, dst, 8,
        [](ClsDIB& d) {
            for (int b = 0; b < 6; ++b) {
                for (int g = 0; g < 6; ++g) {
                    for (int r = 0; r < 6; ++r) {
                        (void)d.SetColorTable(36 * b + 6 * g + r, makeColor(51 * r, 51 * g, 51 * b));
                    }
                }
            }
        },
        [rotate](int blue, int green, int red, int x, int r, std::uint8_t*) {
            const Thresholds t = thresholdsAt(x, r, rotate);
            return 36 * levelInteger(blue, 51, 5, t.blue) + 6 * levelInteger(green, 51, 5, t.green)
                + levelInteger(red, 51, 5, t.red);
        });
}

bool DitherConverter::toEightBit(const ClsDIB& src, ClsDIB& dst, bool rotate)
{
    static constexpr int kSevenths[8] = {0, 36, 73, 109, 146, 182, 219, 255};
    return convert(
        src, dst, 8,
        [](ClsDIB& d) {
            for (int b = 0; b < 8; ++b) {
                for (int g = 0; g < 8; ++g) {
                    for (int r = 0; r < 4; ++r) {
                        (void)d.SetColorTable(32 * b + 4 * g + r, makeColor(85 * r, kSevenths[g], kSevenths[b]));
                    }
                }
            }
        },
        [rotate](int blue, int green, int red, int x, int r, std::uint8_t*) {
            constexpr float kStep = 255.0f / 7.0f;
            const Thresholds t = thresholdsAt(x, r, rotate);
            return 32 * levelFloat(blue, kStep, 7, t.blue) + 4 * levelFloat(green, kStep, 7, t.green)
                + levelInteger(red, 85, 3, t.red);
        });
}

bool DitherConverter::toSixteenBit(const ClsDIB& src, ClsDIB& dst, bool rotate)
{
    return convert(
        src, dst, 24, [](ClsDIB&) {},
        [rotate](int blue, int green, int red, int x, int r, std::uint8_t* out) {
            constexpr float kStep31 = 255.0f / 31.0f;
            constexpr float kStep63 = 255.0f / 63.0f;
            const Thresholds t = thresholdsAt(x, r, rotate);
            const auto channel = [](int v, float step, int topLevel, int threshold) {
                if (v == 255) {
                    return 255;
                }
                const int level = levelFloat(v, step, topLevel, threshold);
                return roundHalfEvenInt(static_cast<float>(level) * step);
            };
            out[0] = static_cast<std::uint8_t>(channel(blue, kStep31, 31, t.blue));
            out[1] = static_cast<std::uint8_t>(channel(green, kStep63, 63, t.green));
            out[2] = static_cast<std::uint8_t>(channel(red, kStep31, 31, t.red));
            return 0;
        });
}

} // namespace kanvo
