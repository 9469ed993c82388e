#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "core/common/Translation.h"
#include "core/reduce/PixelSurface.h"

namespace kanvo {

class ClsDIB;
class StitchMatrix;
struct RunState;

// Why a run of the colour reduction or of the effect saving stopped or went on without a step.
enum class ReduceError {
    None,
    ScratchNotWritten, // "tmppicv.bmp" could not be written; the run stops
    BitmapUnreadable,  // "tmppicv.bmp" could not be read back; the run goes on with the old copy
    BufferNotCreated,  // the working copy could not be made; the run stops
    EffectNotWritten,  // the effect picture could not be written
    Busy,              // a reduction or a save is already running; nothing was done
};

// The message the program shows for an error (the texts the user knows: "不能识别的位图！",
// "无法创建！"), without the detail.
[[nodiscard]] std::string errorText(ReduceError error);

// The colour reduction of the main window ("超级减色", run by "效果预览->"), the effect preview
// (`Command2`) and the saving of the effect picture ("保存效果"), on the run state's stitch
// matrix, image buffers and the zoomed picture surface.
//
// The window side supplies the surface and the things only a window can do through Hooks; every
// hook may be left empty. Everything runs on one thread. pumpEvents may run other handlers of the
// main window (which can change the run state or the surface); the pipeline therefore re-reads
// offsets and fetches a new surface after each pump, and refuses to start a second reduction or
// save while one is running.
//
// Files: the scratch bitmap "tmppicv.bmp" and the effect pictures "xiaoguoNNN.bmp" go to
// `folder` (empty = the current folder).
class ReductionPipeline {
public:
    static constexpr std::string_view kScratchFile = "tmppicv.bmp";
    static constexpr std::string_view kStatusStarted = sourceText("ReductionPipeline", "开始处理...");
    static constexpr std::string_view kStatusDone = sourceText("ReductionPipeline", "减色处理完毕");
    // "绣图效果图保存到" + the file; %1 is the file.
    static constexpr std::string_view kSavedText = sourceText("ReductionPipeline", "绣图效果图保存到%1");

    struct Hooks {
        std::function<PixelSurface()> surface;              // the zoomed picture `Picture4`
        std::function<void(std::string_view text)> setStatus; // the status line `Label4`
        // A message box for an error; detail is the reason (may be empty).
        std::function<void(ReduceError error, const std::string& detail)> report;
        std::function<void(const std::string& path)> effectSaved; // the success message
        std::function<void()> pumpEvents;            // let pending window events run
        std::function<void(bool busy)> setBusy;      // busy pointer on / off, always paired
        std::function<void()> redrawGrid;            // drawMatrixS, with `Command2` disabled
        std::function<void()> pictureChanged;        // the surface was painted on; repaint it
    };

    struct SaveOutcome {
        ReduceError error = ReduceError::None;
        bool written = false;
        std::string fileName; // "xiaoguo001.bmp" ...
        std::string path;     // absolute path of the file
        int depth = 0;        // bits per pixel written
    };

    ReductionPipeline(RunState& state, Hooks hooks, std::filesystem::path folder = {});

    // "超级减色": samples the grid window, round-trips it through the scratch bitmap into
    // `imageBuffer1`, converts it with the method of `ColorBit` into `imageBuffer2`, paints the
    // result back onto the surface at the grid window's offset and runs the effect preview.
    // With `ColorBit` 0 only the effect preview runs, after the status line's final text. False
    // when the run stopped early.
    bool superReduce();

    // The effect preview: `previewReady`, fresh sampling of the grid window, grid redraw.
    bool effectPreview();

    // "保存效果": raises `saveCount`, samples and converts like superReduce() without painting
    // back, and writes the converted picture (the unreduced 24-bit copy for `ColorBit` 0) as
    // "xiaoguo" + saveCount (at least three digits) + ".bmp".
    SaveOutcome saveEffect();

    [[nodiscard]] bool running() const { return running_; }
    [[nodiscard]] std::filesystem::path scratchPath() const { return folder_ / std::string(kScratchFile); }

    // --- the data steps, usable on their own ---

    // "xiaoguo" + count written with at least three digits + ".bmp".
    [[nodiscard]] static std::string effectFileName(int count);

    // Sets every cell of `matrix` to white and stitched, then cell (x, y) for x < width,
    // y < height to the surface's pixel (x + offsetX, y + offsetY). Pixels beyond the surface
    // read as white; a cloth pixel (PixelSurface::isCloth) leaves a white cloth cell.
    static void sampleGrid(const PixelSurface& surface, int offsetX, int offsetY, int width, int height,
        StitchMatrix& matrix);

    // The width x height corner of `matrix` as a 24-bit buffer. False when it cannot be made.
    [[nodiscard]] static bool matrixToBuffer(const StitchMatrix& matrix, int width, int height, ClsDIB& out);

    // Writes `buffer` as a BMP file, replacing an old one only when the new one is complete.
    // On failure returns false and stores a one-line reason in `reason` when given.
    [[nodiscard]] static bool writeBitmap(const ClsDIB& buffer, const std::filesystem::path& path,
        std::string* reason);

    // Plain copy of the whole `image` (any depth) onto `surface` with its top-left corner at
    // (x, y); parts beyond the surface are dropped.
    static void paintOnto(const ClsDIB& image, PixelSurface& surface, int x, int y);

private:
    struct GridWindow {
        int width = 0;
        int height = 0;
        int offsetX = 0;
        int offsetY = 0;
    };
    [[nodiscard]] GridWindow gridWindow() const;
    [[nodiscard]] PixelSurface currentSurface() const;
    void sampleNow();
    void status(std::string_view text) const;
    void report(ReduceError error, const std::string& detail) const;
    void pump() const;
    // Steps shared by the reduction and the saving: sampling, scratch file, working copy.
    // Returns the error that stops the run, None when it goes on (also after an unreadable
    // scratch file when imageBuffer1 still holds the copy of an earlier run).
    [[nodiscard]] ReduceError prepareWorkingCopy();

    RunState& state_;
    Hooks hooks_;
    std::filesystem::path folder_;
    bool running_ = false;
};

} // namespace kanvo
