#pragma once

#include <string_view>

#include "core/chart/DrawList.h"

namespace kanvo {

// Text measurement in the units of a layout (canvas pixels or page millimetres). The layouts
// need it to centre the title and to stack the title lines; the program supplies one backed by
// its real fonts, tests a fixed one.
class TextMetrics {
public:
    virtual ~TextMetrics() = default;
    // Advance width of text (UTF-8) in font.
    [[nodiscard]] virtual float width(std::string_view text, const FontSpec& font) const = 0;
    // Height of one line of font (the step from one printed line to the next).
    [[nodiscard]] virtual float height(const FontSpec& font) const = 0;
};

} // namespace kanvo
