#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/edit/EditColorModel.h"
#include "core/palette/ThreadTable.h"
#include "core/workspace/StitchMatrix.h"

namespace kanvo {

// The state of the colour replacement window, in thread terms: the editor's colour list holds
// thread indices (the chart's distinct threads when the window opened), and a replacement of
// thread s by thread t turns every stitch whose thread is s into t's table colour.
//
// The window keeps a working copy of the stitches (editMatrix) and the thread of each of them;
// nothing reaches the run state's stitch matrix before writeBack(). Replacements are recorded
// (at most 201) and undone newest first; an undo of "s by t" gives back exactly the stitches that
// replacement changed their earlier colour (stitches that were t before keep t), and appends s as
// the last list entry.
//
// The long loops call the pump (if set) after every stitch column, so other handlers may run in
// between; an operation started from there while another runs is refused (returns false).
class ColorReplacementModel {
public:
    static constexpr int kMaxReplacements = 201;
    static constexpr int kNone = -1;

    struct Replacement {
        int from = 0; // thread replaced
        int to = 0;   // thread that took its place
        friend bool operator==(const Replacement&, const Replacement&) = default;
    };

    // `stitches` is copied for the colors.width x colors.height cells of the fitted grid;
    // `colors` gives the list and the thread of every stitch. `table` must outlive the model.
    ColorReplacementModel(const StitchMatrix& stitches, const EditColorModel& colors, const ThreadTable& table);

    void setPump(std::function<void()> pump) { pump_ = std::move(pump); }

    [[nodiscard]] int width() const { return width_; }   // editW
    [[nodiscard]] int height() const { return height_; } // editH

    // Entries 1..colorTotal() of the editor's colour list; never fewer than one entry when the
    // window opened with at least one thread.
    [[nodiscard]] const std::vector<int>& colorList() const { return list_; }
    [[nodiscard]] int colorTotal() const { return static_cast<int>(list_.size()); }
    // The thread of list entry `position` (1-based); 0 when there is no such entry.
    [[nodiscard]] int entry(int position) const;
    [[nodiscard]] bool listed(int thread) const;

    [[nodiscard]] int replaceCount() const { return static_cast<int>(record_.size()); }
    [[nodiscard]] bool canUndo() const { return !record_.empty(); }
    [[nodiscard]] const std::vector<Replacement>& record() const { return record_; }

    // The picked threads of the two samples ("替换颜色", "目标颜色"); kNone until picked.
    [[nodiscard]] int sourceThread() const { return source_; }
    [[nodiscard]] int targetThread() const { return target_; }
    // A pick takes the thread when it is in the list; otherwise nothing changes (false).
    bool pickSource(int thread);
    bool pickTarget(int thread);

    // "<－替换": replaceColor(source, target) when both are picked and differ. False when
    // nothing was recorded.
    bool replace();
    // One replacement of thread s by thread t. Ignored (false) after 201 replacements, when s is
    // not listed, when s equals t, or while another operation runs. s leaves the list (the list
    // keeps t when s was its only entry); t is not added.
    bool replaceColor(int s, int t);
    // Undoes the newest replacement; false when none is recorded or another operation runs.
    bool undoReplace();

    // "颜色总数：" + colorTotal + "  替换" + replaceCount + " 处"
    [[nodiscard]] std::string statusText() const;

    [[nodiscard]] const StitchMatrix& editMatrix() const { return edit_; }
    // The thread of stitch (x, y) of the fitted grid as edited; 0 outside it.
    [[nodiscard]] int threadAt(int x, int y) const;

    // Copies the edited cells (width x height) into `target`, leaving every other cell alone.
    // False, copying nothing, while another operation runs.
    bool writeBack(StitchMatrix& target);

    [[nodiscard]] bool busy() const { return busy_; }

private:
    // A stitch a replacement changed, with the colour it had before.
    struct ChangedStitch {
        std::size_t cell = 0;
        ColorValue before = 0;
    };

    // Every stitch whose thread is `from` becomes `to` (thread and table colour); returns them.
    std::vector<ChangedStitch> recolor(int from, int to);
    // Gives the stitches back the thread `from` and their earlier colours.
    void restore(const std::vector<ChangedStitch>& changed, int from);
    void pump() const;
    [[nodiscard]] std::size_t cell(int x, int y) const
    {
        return static_cast<std::size_t>(x) * StitchMatrix::kSize + static_cast<std::size_t>(y);
    }

    const ThreadTable& table_;
    int width_ = 0;
    int height_ = 0;
    StitchMatrix edit_;
    std::vector<int> threads_; // thread per cell, same layout as StitchMatrix
    std::vector<int> list_;
    std::vector<Replacement> record_;
    std::vector<std::vector<ChangedStitch>> changes_; // per entry of record_
    int source_ = kNone;
    int target_ = kNone;
    bool busy_ = false;
    std::function<void()> pump_;
};

} // namespace kanvo
