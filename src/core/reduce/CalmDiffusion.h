#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/colour/ThreadMatcher.h"
#include "core/common/Color.h"

namespace kanvo {

// Serpentine error diffusion (Floyd-Steinberg weights, in linear RGB) onto a set of threads.
// `strength` 0..1 scales the error passed on. A stitch takes the thread of the stitch before it
// or above it when that thread is nearly as near as the best one, so flat areas stay in one
// thread while gradients still get their mix.
class CalmDiffusion {
public:
    // The palette slot of every stitch of the width x height picture, row by row. Pixels marked
    // in `cloth` (empty, or one byte per pixel, nonzero = bare cloth) get the slot
    // palette.size(): they take no error and pass none on, and no stitch takes their thread.
    [[nodiscard]] static std::vector<int> run(std::span<const ColorValue> picture, int width, int height,
        const ThreadMatcher& palette, double strength, std::span<const std::uint8_t> cloth = {});
};

} // namespace kanvo
