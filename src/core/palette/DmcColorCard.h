#pragma once

#include <cstdint>
#include <span>

namespace kanvo {

inline constexpr int kDmcCardThreads = 452;

// One thread of the DMC colour card as it is printed on the card: the thread number and its
// screen colour written 0xRRGGBB (red in the high byte, the reverse of a ColorValue).
struct DmcCardEntry {
    int number = 0;
    std::uint32_t rgb = 0;
};

// The 452 threads of the card in card order (thread numbers ascending, 5200 white last).
// The data is static and lives for the whole run.
[[nodiscard]] std::span<const DmcCardEntry, kDmcCardThreads> dmcColorCard();

} // namespace kanvo
