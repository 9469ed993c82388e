#pragma once

#include <array>
#include <cstdint>

#include "core/common/Color.h"

namespace kanvo {

// One entry of the thread colour table: the thread's screen colour (0x00BBGGRR) and its
// number on the colour card (for example 310). An all-zero entry names no thread.
struct ThreadColor {
    std::int32_t color = 0;
    std::int32_t cindex = 0;
    friend bool operator==(const ThreadColor&, const ThreadColor&) = default;
};

// The thread colour table `dmc`: 500 entries numbered 1..500. After loadColor() entries 1..452
// hold the DMC threads in card order and entries 453..500 stay zero. A thread index is the
// entry number of a thread (1..452); every chart table stores thread indices, never numbers.
// A value type: the chart window and the editor each own or share one by reference.
class ThreadTable {
public:
    static constexpr int kEntries = 500;
    static constexpr int kThreads = 452; // matching scans exactly these entries

    // Writes entries 1..452 from the colour card and touches nothing else; idempotent.
    void loadColor();

    // Entry `index` (1..500); any other index reads as the empty entry (colour 0, number 0).
    [[nodiscard]] ThreadColor dmc(int index) const;
    // The entry's colour as a colour value (only the low 24 bits are kept).
    [[nodiscard]] ColorValue colorOf(int index) const
    {
        return static_cast<ColorValue>(dmc(index).color) & 0xFFFFFFu;
    }
    // Replaces entry `index` (1..500); other indices are ignored and false is returned.
    bool set(int index, ThreadColor entry);

    [[nodiscard]] static constexpr bool isEntry(int index) { return index >= 1 && index <= kEntries; }
    [[nodiscard]] static constexpr bool isThread(int index) { return index >= 1 && index <= kThreads; }

    friend bool operator==(const ThreadTable&, const ThreadTable&) = default;

private:
    std::array<ThreadColor, kEntries> entries_{}; // entry n at [n - 1]
};

// A table on which loadColor() has run, built on first use and never changed afterwards.
[[nodiscard]] const ThreadTable& loadedThreadTable();

} // namespace kanvo
