#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "core/common/Translation.h"
#include "core/edit/EditColorModel.h"

namespace kanvo {

struct RunState;
class ThreadTable;

// Why an edit preparation stopped or went on without a step.
enum class EditPrepError {
    None,
    NoScratchPicture, // "tmppicv.bmp" is missing: no colour reduction has run; stops
    BitmapUnreadable, // "tmppicv.bmp" exists but cannot be read; goes on with the old copy
    BufferNotCreated, // the working copy could not be made; stops
    TooManyColors,    // more than 500 colours in the fitted grid; stops
    InvalidSize,      // the fitted grid is not 1..320 stitches a side; stops
};

// The message for an error, as the program shows it, and its caption (empty: the program's
// default caption).
[[nodiscard]] std::string errorText(EditPrepError error);
[[nodiscard]] std::string errorCaption(EditPrepError error);

// "编辑": renews the reduced scratch picture "tmpcolorv.bmp" and builds the colour model the
// colour replacement window works with, from the run state's stitch matrix over the fitted grid
// (gridWidth() x picH).
//
// Files: "tmppicv.bmp" is read from and "tmpcolorv.bmp" deleted and written in `folder` (empty =
// the current folder), the folder the colour reduction writes its scratch file to.
//
// The chart window's model (RunState::chart) is left as the last generation made it; the
// preparation hands its colour model to the caller instead, so a chart on screen never sees
// tables of another picture.
//
// Everything runs on one thread. pumpEvents may run other handlers, which can change the run
// state; a second prepare() started from there is refused (Outcome::started is false).
class EditPreparation {
public:
    static constexpr std::string_view kScratchFile = "tmppicv.bmp";
    static constexpr std::string_view kColorFile = "tmpcolorv.bmp";
    static constexpr std::string_view kStatusStarted = sourceText("EditPreparation", "开始处理...");

    struct Hooks {
        std::function<void(std::string_view text)> setStatus; // the status line `Label4`
        std::function<void(EditPrepError error)> report;      // a message box for an error
        std::function<void()> pumpEvents;                     // let pending window events run
        std::function<void(bool busy)> setBusy;               // busy pointer on / off, paired
    };

    struct Outcome {
        bool started = false; // false: another preparation was running, nothing was done
        EditPrepError error = EditPrepError::None; // the error that stopped the run, or the
                                                   // one it went on after (BitmapUnreadable)
        bool ready = false;           // the colour model is complete: open the editor
        bool colorFileWritten = false; // "tmpcolorv.bmp" was written
        EditColorModel model;
    };

    EditPreparation(RunState& state, const ThreadTable& table, Hooks hooks, std::filesystem::path folder = {});

    [[nodiscard]] Outcome prepare();

    [[nodiscard]] bool running() const { return running_; }
    [[nodiscard]] std::filesystem::path scratchPath() const { return folder_ / std::string(kScratchFile); }
    [[nodiscard]] std::filesystem::path colorFilePath() const { return folder_ / std::string(kColorFile); }

private:
    void status(std::string_view text) const;
    void report(EditPrepError error) const;
    void pump() const;
    // Loads the scratch picture into imageBuffer1; None, BitmapUnreadable (went on) or the error
    // that stops the run.
    [[nodiscard]] EditPrepError loadScratch();

    RunState& state_;
    const ThreadTable& table_;
    Hooks hooks_;
    std::filesystem::path folder_;
    bool running_ = false;
};

} // namespace kanvo
