#pragma once

#include <optional>
#include <string_view>
#include <unordered_map>

#include "core/common/Color.h"
#include "core/palette/ThreadTable.h"

namespace kanvo {

// Finds the thread of our table that stands for a thread of another program's chart.
// Keeps a reference to `table`, which must outlive the matcher and stay unchanged.
class PaletteItemMatcher {
public:
    explicit PaletteItemMatcher(const ThreadTable& table);

    // The DMC thread number that a chart file's number text names, in the spellings files use:
    // "DMC    310", "DMC-310", "dmc310", "310", "B5200" (DMC's bright white, 5200 in our table).
    // nullopt for names ("BLANC", "ECRU"), other brands ("Anchor 403"), beads and anything
    // else that is not a plain DMC number.
    [[nodiscard]] static std::optional<int> dmcNumber(std::string_view text);
    // The colour of a DMC thread known by its name instead of a number, in the spellings of
    // dmcNumber(): "BLANC" (white FFFFFF) and "ECRU" (F0EADA), in any case. nullopt otherwise.
    [[nodiscard]] static std::optional<ColorValue> namedColor(std::string_view text);

    struct Match {
        int thread = 0;           // thread index 1..452
        bool substituted = false; // true: chosen by colour, the number is not one of ours
    };

    // The thread for a palette item: the thread with that number when the number is in our
    // table (the lowest index when two share it), else the thread nearest to `color` (or, without
    // one, to the named thread's colour) by squared RGB distance, ties to the lower index.
    // nullopt when the number is not ours and there is no colour.
    [[nodiscard]] std::optional<Match> match(std::string_view number, std::optional<ColorValue> color) const;

private:
    const ThreadTable& table_;
    std::unordered_map<int, int> threadOfNumber_;
};

} // namespace kanvo
