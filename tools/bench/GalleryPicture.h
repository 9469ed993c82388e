#pragma once

#include <string>
#include <vector>

#include "core/common/Color.h"

namespace kanvo {

// A gallery picture fitted to a stitch grid `width` stitches wide (height in proportion), as the
// grid window samples it: smooth scaling, transparent parts over white. Needs a Qt application.
struct GalleryPicture {
    std::string name;
    int width = 0;
    int height = 0;
    std::vector<ColorValue> pixels; // row by row from the top

    // Empty pixels when the file cannot be read.
    [[nodiscard]] static GalleryPicture load(const std::string& path, int width);
};

} // namespace kanvo
