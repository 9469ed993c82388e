#pragma once

#include <cstdint>
#include <random>
#include <span>
#include <vector>

#include "core/colour/ThreadMatcher.h"
#include "core/reduce/ColourSamples.h"

namespace kanvo {

// Chooses at most `budget` threads of a table so that the picture drawn with them has the least
// total CIEDE2000 error: weighted k-means++ in CIELAB from a fixed seed, the centres moved to
// their nearest threads, then a local search that swaps a chosen thread for a nearby table
// thread while the total error falls. Deterministic.
class ThreadPaletteChooser {
public:
    ThreadPaletteChooser(std::span<const ColourSamples::Sample> samples, const ThreadMatcher& table);

    // Distinct thread indices, at most `budget` (>= 1) of them.
    [[nodiscard]] std::vector<int> choose(int budget);

private:
    // The two nearest chosen threads of a sample.
    struct Assignment {
        int first = 0;
        int second = -1;
        double firstDifference = 0;
        double secondDifference = 0;

        // Takes chosen thread `slot` at difference `d` as the nearest or second nearest.
        void offer(int slot, double d)
        {
            if (d < firstDifference) {
                second = first;
                secondDifference = firstDifference;
                first = slot;
                firstDifference = d;
            } else if (d < secondDifference) {
                second = slot;
                secondDifference = d;
            }
        }
    };

    [[nodiscard]] std::vector<Lab> seedCentres(int count);
    void refineCentres(std::vector<Lab>& centres) const;
    void snapToThreads(const std::vector<Lab>& centres, int budget);
    void assignAll();
    void assign(std::size_t sample);
    [[nodiscard]] double swapChange(int slot, const Lab& thread) const;
    void applySwap(int slot, int tableSlot);
    bool improveSlot(int slot);

    std::span<const ColourSamples::Sample> samples_;
    const ThreadMatcher& table_;
    std::vector<int> chosen_;   // table slots of the chosen threads
    std::vector<Lab> chosenLab_;
    std::vector<Assignment> assignment_;
    std::vector<int> scratch_;
};

} // namespace kanvo
