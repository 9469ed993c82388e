#include "core/edit/ChartChange.h"

#include <iterator>

namespace kanvo {

void ChartChange::append(ChartChange later)
{
    cells.insert(cells.end(), std::make_move_iterator(later.cells.begin()), std::make_move_iterator(later.cells.end()));
    layerSteps.insert(layerSteps.end(), std::make_move_iterator(later.layerSteps.begin()),
        std::make_move_iterator(later.layerSteps.end()));
    // The symbols this change started from are the earliest recorded; those it ends with the latest.
    if (!symbolsBefore)
        symbolsBefore = std::move(later.symbolsBefore);
    if (later.symbolsAfter)
        symbolsAfter = std::move(later.symbolsAfter);
}

} // namespace kanvo
