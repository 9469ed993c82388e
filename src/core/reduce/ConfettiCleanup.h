#pragma once

#include <span>
#include <vector>

#include "core/colour/ThreadMatcher.h"
#include "core/common/Color.h"

namespace kanvo {

// Removes confetti where the picture seen from a distance does not need it. A small region (one
// stitch, or two joined stitches, of a thread no other stitch of it touches left, right, above or
// below) may take a neighbouring thread. Of those threads it takes the one that costs the least
// blurred error: CIEDE2000 between chart and picture, both blurred as StitchBlur does, summed
// over the stitches around the region. A change that lowers that error is always taken. One that
// raises it is taken while the rise is at most `level` x kCostPerLevel for each stitch changed,
// unless the region is detail the blur undervalues: a dot or thin line of strong contrast (no
// neighbouring thread comes near its picture colour) or a single-stitch highlight.
// Where a mix of threads is what the picture needs, a lone stitch may instead swap threads with
// a neighbour that touches another stitch of its thread: the mix stays, the stitches join. A swap
// is taken when it leaves fewer confetti stitches around it and its rise in blurred error is at
// most the same allowance for each confetti stitch it removes.
// Passes of both kinds repeat over the stitches near the last pass's changes; the blurred chart
// follows every change.
// Before and after them, a descent lowers the blurred error wherever it is noticeable: any
// stitch may take a neighbouring thread that lowers it, when that leaves no more lone stitches
// around it than before. Error diffusion places each stitch once, looking back only; the descent
// lets it see the stitches placed after it.
class ConfettiCleanup {
public:
    // Regions of at most this many stitches are confetti.
    static constexpr int kLargestRegion = 2;
    // The blurred error (CIEDE2000 summed over the stitches around a region) that one level
    // allows a change to add, for each stitch it changes.
    static constexpr double kCostPerLevel = 0.5;
    // No neighbouring thread within this CIEDE2000 of the region's picture colour: detail.
    static constexpr double kEdgeDifference = 20.0;
    // A single stitch this much lighter (CIELAB L) than the mean of its neighbours is a highlight.
    static constexpr double kHighlightLift = 25.0;
    // At most this many rounds of merges and swaps; later rounds visit only the stitches near
    // earlier changes. With the descent before them one round does: a second removed a little
    // more confetti for a fifth of the reduction's time and some blurred error.
    static constexpr int kPasses = 1;
    // Descent passes before the rounds and as many after; the ones after visit only the stitches
    // near changes. More passes gain little for their time.
    static constexpr int kDescentPasses = 1;
    // The descent leaves a stitch whose blurred error (CIEDE2000) is below this: little to gain
    // there, and most of its time saved.
    static constexpr double kDescentError = 1.0;

    // `slots` holds the palette slot of every stitch of the width x height picture; changed in
    // place. The slot palette.size() marks bare cloth: it stays, is seen as white, and is no
    // thread for a stitch to take or trade. `level` 0 leaves the chart as it is.
    static void run(std::vector<int>& slots, std::span<const ColorValue> picture, int width, int height,
        const ThreadMatcher& palette, int level);
};

} // namespace kanvo
