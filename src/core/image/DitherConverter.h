#pragma once

namespace kanvo {

class ClsDIB;

// The ordered-dither colour-depth converters behind ClsDIB::ddGet1Bit ... ddGet16Bit.
// Each takes a 24-bit `src`, re-creates `dst` with the source's size at its target depth, writes
// the fixed palette and fills the pixels in one pass over the raw rows. The threshold for the
// pixel in column x of picture row r (from the top) comes from kDitherTable at the natural
// position, or with `rotate` at the blue / natural / red positions for blue / green / red.
// False, with `dst` untouched, when `src` is not 24-bit; false when `dst` cannot be created.
// `src` and `dst` may be the same buffer.
class DitherConverter {
public:
    [[nodiscard]] static bool toOneBit(const ClsDIB& src, ClsDIB& dst);
    [[nodiscard]] static bool toTwoBit(const ClsDIB& src, ClsDIB& dst);
    [[nodiscard]] static bool toThreeBit(const ClsDIB& src, ClsDIB& dst, bool rotate);
    [[nodiscard]] static bool toFourBit(const ClsDIB& src, ClsDIB& dst);
    [[nodiscard]] static bool to216(const ClsDIB& src, ClsDIB& dst, bool rotate);
    [[nodiscard]] static bool toEightBit(const ClsDIB& src, ClsDIB& dst, bool rotate);
    [[nodiscard]] static bool toSixteenBit(const ClsDIB& src, ClsDIB& dst, bool rotate);
};

} // namespace kanvo
