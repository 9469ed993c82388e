#pragma once

#include <string>

#include "core/common/Rounding.h"
#include "core/image/ClsDIB.h"
#include "core/palette/ChartModel.h"
#include "core/reduce/ThreadPaletteReducer.h"
#include "core/workspace/StitchMatrix.h"

namespace kanvo {

// The state of one run, shared by every window. The application owns exactly one RunState for
// the whole run (created before the main window, destroyed after the last window closed) and
// hands every window a reference to it; nothing of it is persisted between runs.
//
// Grid sizes are in stitches, offsets in pixels of the zoomed picture surface. The main window's
// workspace model (WorkspaceModel) keeps picW, picH, moveX1, moveY1, xyRate and ifScale up to
// date; other windows read them and may write them under the same rules as the main window.
struct RunState {
    // --- process-wide values ---
    std::string sourceFile; // full path of the picture last loaded into the workspace
    std::string lastDrive;  // drive of the last file accepted in the image file chooser
    std::string lastFolder; // folder of the last file accepted in the image file chooser

    StitchMatrix stitchMatrix; // stitch colours, column first, 0..320 x 0..320

    int mergeTol = 0; // thread-merge tolerance (squared RGB distance), 0 at start-up
    int blockW = 10;  // stitch columns per thick-line block
    int blockH = 10;  // stitch rows per thick-line block

    // --- public values of the main window ---
    double picW = 117;    // grid width in stitches; whole except transiently in whole-picture mode
    int picH = 132;       // grid height in stitches, 16..250 (whole mode may go below 16)
    double picmaxW = 230; // largest grid width
    int picmaxH = 250;    // largest grid height
    int ColorBit = 16;    // colour-reduction method code chosen in the chart settings
    int moveX1 = 0;       // left offset of the grid window inside the zoomed picture, >= 0
    int moveY1 = 0;       // top offset of the grid window inside the zoomed picture, >= 0
    float xyRate = 1.0f;  // height / width of the loaded picture
    int ifScale = 1;      // 1 = part-of-picture mode ("局部"), 0 = whole-picture mode ("全图")
    int autoColor = 0;    // 1 when the chart settings switched automatic reduction off ("否")
    int saveCount = 0;    // effect pictures saved in this run ("保存效果"); numbers the files
    ThreadReductionSettings threadReduction; // the settings of the "精选绣线" method

    // True after an effect preview was produced; cleared when the chart window opens and when
    // "导入图片" / "绣图图库" is pressed. Gates "生成", "打印" and "生成我的绣图".
    bool previewReady = false;

    // Image buffers of the reduction pipeline, edit preparation and effect saving; empty at load.
    ClsDIB imageBuffer1;
    ClsDIB imageBuffer2;

    // The chart model every window shares (chart window, legend, printing, editor).
    ChartModel chart;
    // The chart settings' title and thread brand while `chart` holds a chart read from a project
    // (chart.fromProject): the settings window shows and sets these, and the next chart of the
    // picture takes them.
    std::string settingsTitle;
    std::string settingsBrand;

    // Grid width as a whole number of stitches (the width bar always holds this value).
    [[nodiscard]] int gridWidth() const { return roundHalfEvenInt(picW); }
};

} // namespace kanvo
