#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace kanvo {

// Copies rectangular blocks between row-major 32-bit pixel buffers (QImage::Format_RGB32 and
// the like; the copy never looks inside a pixel).
class BlockCopy {
public:
    // A buffer of height rows of stride words each, of which the first width are pixels.
    struct Pixels {
        std::span<std::uint32_t> words;
        int width = 0;
        int height = 0;
        std::size_t stride = 0;
    };
    struct ConstPixels {
        std::span<const std::uint32_t> words;
        int width = 0;
        int height = 0;
        std::size_t stride = 0;
    };

    // Copies the width x height block whose top-left corner is (fromX, fromY) in from to
    // (toX, toY) in to. Parts of the block outside from arrive as fill; parts that land outside
    // to are dropped. Returns false, writing nothing, when a buffer is smaller than its
    // dimensions say or a size is negative.
    [[nodiscard]] static bool copy(const ConstPixels& from, int fromX, int fromY, int width, int height,
                                   const Pixels& to, int toX, int toY, std::uint32_t fill);

private:
    [[nodiscard]] static bool holds(std::size_t words, int width, int height, std::size_t stride);
};

} // namespace kanvo
