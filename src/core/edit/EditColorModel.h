#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "core/palette/ThreadTable.h"
#include "core/workspace/StitchMatrix.h"

namespace kanvo {

// Why the colour model for editing could not be built.
enum class EditColorError {
    None,
    InvalidSize,   // the fitted grid is not 1..320 stitches in each direction
    TooManyColors, // more than 500 distinct stitch colours in the fitted grid
};

// The threads of the fitted grid as the colour replacement window works with them: the distinct
// threads in order of first appearance (row by row from the top, each row from the left) and the
// thread of every stitch. Built by nearest thread only (plain squared RGB distance, ties to the
// lowest thread index); near threads are never merged here.
struct EditColorModel {
    static constexpr int kMaxColors = 500;
    static constexpr int kSide = StitchMatrix::kSize; // colorIndex is kSide x kSide cells

    int width = 0;  // fitted grid width in stitches (editW)
    int height = 0; // fitted grid height in stitches (editH)
    // The maxColor distinct thread indices (1..452) of the grid; entry n of the program's colour
    // list is colorList[n - 1].
    std::vector<int> colorList;
    // Thread index per stitch, column first: [x * 321 + y]; 0 outside width x height.
    std::vector<int> colorIndex;
    int maxColor = 0;       // threads in colorList
    int distinctColors = 0; // distinct stitch colours before matching (n >= maxColor)

    [[nodiscard]] int threadAt(int x, int y) const
    {
        return colorIndex[static_cast<std::size_t>(x) * kSide + static_cast<std::size_t>(y)];
    }

    // Builds the model from the stitches x < width, y < height. The 500th distinct colour is
    // accepted, the 501st gives TooManyColors (the model is then left empty). pumpRow, when set,
    // runs after every grid row of each pass so that the window stays responsive; it must not
    // change `stitches` (pass a copy when it may). Linear in the number of stitches.
    [[nodiscard]] static EditColorError build(const StitchMatrix& stitches, int width, int height,
        const ThreadTable& table, EditColorModel& out, const std::function<void()>& pumpRow = {});
};

} // namespace kanvo
