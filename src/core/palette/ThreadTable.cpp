#include "core/palette/ThreadTable.h"

#include "core/palette/DmcColorCard.h"

namespace kanvo {

void ThreadTable::loadColor()
{
    const auto card = dmcColorCard();
    for (int n = 1; n <= kThreads; ++n) {
        const DmcCardEntry& thread = card[static_cast<std::size_t>(n - 1)];
        // The card writes red first; a colour value keeps red in the low byte.
        const int red = static_cast<int>((thread.rgb >> 16) & 0xFFu);
        const int green = static_cast<int>((thread.rgb >> 8) & 0xFFu);
        const int blue = static_cast<int>(thread.rgb & 0xFFu);
        entries_[static_cast<std::size_t>(n - 1)]
            = ThreadColor{static_cast<std::int32_t>(makeColor(red, green, blue)), thread.number};
    }
}

ThreadColor ThreadTable::dmc(int index) const
{
    if (!isEntry(index))
        return {};
    return entries_[static_cast<std::size_t>(index - 1)];
}

bool ThreadTable::set(int index, ThreadColor entry)
{
    if (!isEntry(index))
        return false;
    entries_[static_cast<std::size_t>(index - 1)] = entry;
    return true;
}

const ThreadTable& loadedThreadTable()
{
    static const ThreadTable table = [] {
        ThreadTable t;
        t.loadColor();
        return t;
    }();
    return table;
}

} // namespace kanvo
