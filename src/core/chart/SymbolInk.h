#pragma once

#include "core/common/Color.h"

namespace kanvo {

// Whether a symbol drawn on a block of colour `block` should be white rather than black: true
// when white contrasts more with the block than black does (WCAG relative luminance below
// about 0.18). Used wherever a symbol sits on a filled cell: screen, bitmap, print, pattern.
[[nodiscard]] bool wantsWhiteSymbol(ColorValue block);

} // namespace kanvo
