#pragma once

#include "core/common/Color.h"

namespace kanvo {

// A colour in linear RGB, each channel 0..1 for colours inside the sRGB gamut.
struct LinearRgb {
    float red = 0;
    float green = 0;
    float blue = 0;
};

// A colour in CIELAB (D65 white): L 0..100, a and b roughly -128..128.
struct Lab {
    double L = 0;
    double a = 0;
    double b = 0;
    friend bool operator==(const Lab&, const Lab&) = default;
};

// Conversions between sRGB colour values, linear RGB and CIELAB under the D65 white point.
class ColourSpace {
public:
    // An sRGB channel 0..255 as linear light 0..1 (a table look-up).
    [[nodiscard]] static float linearOfChannel(int channel);
    // Linear light as an sRGB channel, rounded and clamped to 0..255.
    [[nodiscard]] static int channelOfLinear(float linear);

    [[nodiscard]] static LinearRgb linearOf(ColorValue color);
    [[nodiscard]] static ColorValue colorOf(const LinearRgb& linear);

    [[nodiscard]] static Lab labOf(const LinearRgb& linear);
    [[nodiscard]] static Lab labOf(ColorValue color) { return labOf(linearOf(color)); }
    [[nodiscard]] static LinearRgb linearOf(const Lab& lab);
};

} // namespace kanvo
