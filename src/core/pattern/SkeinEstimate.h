#pragma once

namespace kanvo {

// How much thread a number of full cross stitches takes, worked out the way stitchers do:
// each stitch lays two diagonals on the front and two short runs of one cell side at the back,
// (2 sqrt 2 + 2) cell sides of thread, stitched with 2 strands; a skein is 8 m of six-strand
// thread, so it gives 3 x 8 m = 24 m of two-strand thread; 20 % is added for tails, starts and
// ends. Cell side = 25.4 mm / fabric count.
struct SkeinEstimate {
    static constexpr double kWaste = 0.20;
    static constexpr double kSkeinMetres = 8.0;
    static constexpr int kSkeinStrands = 6;
    static constexpr int kStrandsUsed = 2;

    // Metres of two-strand thread for `stitches` stitches on fabric of `fabricCount` stitches
    // per inch (waste included); 0 for no stitches or a fabric count below 1.
    [[nodiscard]] static double metres(int stitches, int fabricCount);
    // Whole skeins to buy: metres / 24 rounded up; 0 only for no stitches.
    [[nodiscard]] static int skeins(int stitches, int fabricCount);

    // The same for crosses counted in fractions: a half stitch lays half a cross's thread (one
    // diagonal and one run at the back), a quarter a quarter of it.
    [[nodiscard]] static double metres(double crosses, int fabricCount);
    [[nodiscard]] static int skeins(double crosses, int fabricCount);
    // Metres of two-strand thread for back stitches `cells` cell sides long in all: the line on
    // the front and as much again at the back, waste included.
    [[nodiscard]] static double backStitchMetres(double cells, int fabricCount);
    // Whole skeins for metres of two-strand thread; 0 only for none.
    [[nodiscard]] static int skeinsFor(double metres);
};

} // namespace kanvo
