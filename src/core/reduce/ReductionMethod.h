#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "core/reduce/ThreadPaletteReducer.h"

namespace kanvo {

class ClsDIB;

// The reduction methods of the chart settings and the converter each one runs. The code is the
// run state's `ColorBit`:
//
//   code  settings text     converter               result
//   16    "高分辨彩色图"    ddGet216C, rotated      216 colours, 8-bit file
//   3     "低分辨彩色图"    ddGet3Bit, rotated      8 colours, 4-bit file
//   4     "高清黑白图片"    ddGet4Bit               16 greys, 4-bit file
//   2     "灰度图片"        ddGet2Bit               4 greys, 4-bit file
//   8     "8bit" (typed)    ddGet8Bit, rotated      256 colours, 8-bit file
//   1     "1bit" (typed)    ddGet1Bit               black and white, 1-bit file
//   0     "不做减色处理"    none                    the picture's own colours
//   32    "精选绣线"        ThreadPaletteReducer    at most N threads in their table colours,
//                                                   24-bit file
class ReductionMethod {
public:
    static constexpr int kNoReduction = 0;
    static constexpr int kDefault = 16;
    static constexpr int kThreadPalette = 32;

    // The method code a settings text selects ("1bit" and "8bit" as typed), or nothing for any
    // other text (the current method then stays).
    [[nodiscard]] static std::optional<int> codeForSettingsText(std::string_view text);

    // True for the codes of the table above (0 included).
    [[nodiscard]] static bool isKnownCode(int code);

    // Bits per pixel of the converter's output for a code with a converter (1, 4, 8, 24); 0 for
    // code 0 and for codes outside the table.
    [[nodiscard]] static int outputDepth(int code);

    // Runs the converter of `code` into `target` from the 24-bit `source`; `threads` steers only
    // kThreadPalette, which matches against the loaded DMC table. `cloth` marks the pixels left
    // as bare cloth, one byte per pixel row by row from the top (nonzero = cloth), or is empty
    // for none (also when its size is not the picture's): kThreadPalette chooses its threads
    // without them and leaves them white; the other converters treat every pixel on its own.
    // Returns false when the code has no converter (0 or unknown; `target` is left as it is)
    // or the converter failed.
    [[nodiscard]] static bool convert(int code, ClsDIB& target, const ClsDIB& source,
        const ThreadReductionSettings& threads = {}, std::span<const std::uint8_t> cloth = {});
};

} // namespace kanvo
