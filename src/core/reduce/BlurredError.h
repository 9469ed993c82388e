#pragma once

#include <array>
#include <memory>
#include <span>
#include <vector>

#include "core/colour/ColourSpace.h"
#include "core/reduce/StitchBlur.h"

namespace kanvo {

// The chart seen from a distance against the picture seen the same way: both blurred as
// StitchBlur does, and CIEDE2000 between them at every stitch (by its local form around the
// blurred picture, in floats). Tells how much changing one or two stitches would raise that error
// summed over the stitches around them, and follows the changes made.
class BlurredError {
public:
    // Stitches within this many stitches of a region count toward the cost of its change: they
    // hold 78 % of the blur's weight, where the cost mostly lies, at a fifth of the work of the
    // whole reach.
    static constexpr int kMergeReach = 1;
    // A swap's change in the blurred chart is a dipole whose near parts cancel: along the swap
    // its cost counts the stitches within this many, across it within kMergeReach.
    static constexpr int kSwapReach = 2;
    // A change moves the blurred chart this far, and so the cost of changes this far from it.
    static constexpr int kChangeReach = StitchBlur::kRadius + kSwapReach;

    // One or two joined stitches that change together, each by the same colour times its sign:
    // +1 for both of a region taking another thread, +1 and -1 for a swap of two threads.
    struct Change {
        static constexpr int kMostStitches = 2;
        std::array<std::size_t, kMostStitches> stitches{};
        std::array<float, kMostStitches> signs{};
        int count = 0;
    };

    // `picture` and `chart` hold width x height colours row by row (width, height >= 1).
    BlurredError(std::span<const ColorValue> picture, std::span<const LinearRgb> chart, int width, int height);
    ~BlurredError();

    // CIEDE2000 between the blurred picture and the blurred chart at stitch i.
    [[nodiscard]] float errorAt(std::size_t i) const { return fields_[kErrorField][i]; }

    // Prepares cost() for changes of these stitches.
    void weigh(const Change& change);
    // How much the error summed around the stitches last weighed grows when they change by
    // `colour` (linear RGB) times their signs.
    [[nodiscard]] float cost(const LinearRgb& colour);
    // Makes the change in the blurred chart.
    void apply(const Change& change, const LinearRgb& colour);

    // The stitches within `reach` of the change, inside the chart; inclusive.
    struct Window {
        int left, top, right, bottom;
    };
    [[nodiscard]] Window around(const Change& change, int reach) const;

private:
    class Rows;

    // The stitches whose error counts toward the cost of the change.
    [[nodiscard]] Window costWindow(const Change& change) const;

    [[nodiscard]] std::size_t at(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
    }

    int width_;
    int height_;
    StitchBlur::AxisWeights across_;
    StitchBlur::AxisWeights down_;
    // Stitch by stitch, a row of floats each: the blurred chart, the blurred picture in CIELAB
    // with CIEDE2000's local weights there, and the error between the two.
    static constexpr int kFields = 11;
    static constexpr int kErrorField = 10;
    std::array<std::vector<float>, kFields> fields_;
    // The stitches around the change last weighed.
    std::unique_ptr<Rows> window_;
};

} // namespace kanvo
