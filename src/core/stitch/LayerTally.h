#pragma once

#include <vector>

#include "core/stitch/StitchLayers.h"

namespace kanvo {

// What a chart's layers hold per thread: the elements of each kind and the back stitch length,
// for the legend, the key and the thread estimate. A snapshot: build a new one after an edit.
class LayerTally {
public:
    struct Counts {
        int partStitches = 0; // part stitch entries
        int corners = 0;      // their corners: a quarter counts 1, a half 2, a three-quarter 3
        int backStitches = 0;
        double backLength = 0; // cells (see StitchGeometry::length)
        int knots = 0;
        int beads = 0;
        [[nodiscard]] bool any() const { return partStitches + backStitches + knots + beads > 0; }
        // Part stitches as half stitches: two corners make one half.
        [[nodiscard]] double halves() const { return corners / 2.0; }
    };

    explicit LayerTally(const StitchLayers& layers);

    // The counts of a thread index; all zero for a thread the layers do not use (or any value
    // outside 1..500).
    [[nodiscard]] const Counts& of(int thread) const;
    [[nodiscard]] bool uses(int thread) const { return of(thread).any(); }
    // The threads the layers use, each once, in order of first use: part stitches first, then
    // back stitches, then knots and beads, each list in its own order.
    [[nodiscard]] const std::vector<int>& threads() const { return threads_; }
    // The counts of every thread together.
    [[nodiscard]] const Counts& total() const { return total_; }

private:
    Counts& add(int thread);

    std::vector<Counts> counts_;
    std::vector<int> threads_;
    Counts total_;
    Counts none_;
    Counts discarded_;
};

} // namespace kanvo
