#pragma once

#include <array>
#include <span>
#include <vector>

#include "core/colour/ColourSpace.h"
#include "core/palette/ThreadTable.h"

namespace kanvo {

// Finds the thread of a set nearest to a colour by CIEDE2000. The set holds each table colour
// once, under its lowest thread index, so that a chart's colour index maps every chosen colour
// back to the same thread. A shortlist by a cheap CIE94-like distance (the rough distance) is
// refined by CIEDE2000; this agrees with a search of every thread nearly always, and otherwise
// misses by a small margin.
class ThreadMatcher {
public:
    struct Match {
        int slot = 0;           // position in threads()
        double difference = 0;  // CIEDE2000 from the colour to that thread
    };

    // Threads 1..452 of `table`.
    explicit ThreadMatcher(const ThreadTable& table);
    // The given threads (indices outside 1..452 are ignored), in ascending thread order.
    ThreadMatcher(const ThreadTable& table, std::span<const int> threads);

    // CIEDE2000 over the shortlist, as far down it as a nearer thread is still possible.
    [[nodiscard]] Match nearest(const Lab& colour) const;
    // Faster, for every colour of a picture: the slot of the nearest thread by the rough
    // distance, or, when others come close to it, of the nearest of those few by CIEDE2000.
    // Off only between threads of nearly equal difference.
    [[nodiscard]] int quickNearest(const Lab& colour) const;
    // The same by CIEDE2000 to every thread of the set: the reference for nearest().
    [[nodiscard]] Match nearestOfAll(const Lab& colour) const;
    // The `count` threads nearest by the rough distance, nearest first, as slots; with
    // `distances`, also their squared rough distances.
    void roughShortlist(const Lab& colour, int count, std::vector<int>& slots,
        std::vector<float>* distances = nullptr) const;

    // The slot of the nearest thread by the rough distance alone: for error diffusion, which
    // corrects a near miss at the next stitches.
    [[nodiscard]] int roughNearest(const Lab& colour) const;
    // The rough distance to a thread: like CIEDE2000, within some tens of percent.
    [[nodiscard]] double roughDifference(const Lab& colour, int slot) const;

    [[nodiscard]] int size() const { return static_cast<int>(threads_.size()); }
    [[nodiscard]] std::span<const int> threads() const { return threads_; }
    [[nodiscard]] int thread(int slot) const { return threads_[static_cast<std::size_t>(slot)]; }
    [[nodiscard]] const Lab& lab(int slot) const { return labs_[static_cast<std::size_t>(slot)]; }
    [[nodiscard]] ColorValue color(int slot) const { return colors_[static_cast<std::size_t>(slot)]; }

private:
    // Threads scanned at once for the rough distance.
    static constexpr int kChunk = 8;
    static constexpr int kShortlist = 16;
    static constexpr int kFewest = 3;
    static constexpr int kQuickShortlist = 4;
    static constexpr float kQuickReach = 1.6f;
    static constexpr double kReach = 3.0;

    // A colour prepared for the rough distance (squared).
    struct ShortlistQuery {
        explicit ShortlistQuery(const Lab& colour);
        [[nodiscard]] float distance(const ThreadMatcher& set, int slot) const;
        void distances(const ThreadMatcher& set, int first, std::array<float, kChunk>& out) const;
        float l, a, b, c;
        float lWeight = 1;
    };

    std::vector<int> threads_;
    std::vector<ColorValue> colors_;
    std::vector<Lab> labs_;
    // Lab in separate rows for the distance scan.
    std::vector<float> lightness_;
    std::vector<float> greenRed_;
    std::vector<float> blueYellow_;
    std::vector<float> chroma_;
};

} // namespace kanvo
