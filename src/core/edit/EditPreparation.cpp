#include "core/edit/EditPreparation.h"

#include <algorithm>
#include <span>
#include <system_error>

#include "core/common/BusyScope.h"
#include "core/common/RunGuard.h"
#include "core/common/Translation.h"
#include "core/image/ClsDIB.h"
#include "core/reduce/ReductionMethod.h"
#include "core/workspace/RunState.h"

namespace kanvo {

std::string errorText(EditPrepError error)
{
    switch (error) {
    case EditPrepError::None:
        return {};
    case EditPrepError::NoScratchPicture:
        return translate("EditPreparation", "   编辑绣图颜色前请先点击效果预览键    ");
    case EditPrepError::BitmapUnreadable:
        return translate("EditPreparation", "不能识别的位图！");
    case EditPrepError::BufferNotCreated:
        return translate("EditPreparation", "无法创建！");
    case EditPrepError::TooManyColors:
        return translate("EditPreparation", "    绣图颜色太多，请减色后再生成。。。 ");
    case EditPrepError::InvalidSize:
        return translate("EditPreparation", "绣图大小超出范围，每边只能是1到320针。");
    }
    return {};
}

std::string errorCaption(EditPrepError error)
{
    switch (error) {
    case EditPrepError::NoScratchPicture:
        return translate("EditPreparation", "Quillex 你身边的好软件");
    case EditPrepError::BitmapUnreadable:
        return translate("EditPreparation", "错误！");
    case EditPrepError::TooManyColors:
        return "Quillex inc.";
    default:
        return {};
    }
}

EditPreparation::EditPreparation(RunState& state, const ThreadTable& table, Hooks hooks, std::filesystem::path folder)
    : state_(state), table_(table), hooks_(std::move(hooks)), folder_(std::move(folder))
{
}

void EditPreparation::status(std::string_view text) const
{
    if (hooks_.setStatus)
        hooks_.setStatus(text);
}

void EditPreparation::report(EditPrepError error) const
{
    if (hooks_.report)
        hooks_.report(error);
}

void EditPreparation::pump() const
{
    if (hooks_.pumpEvents)
        hooks_.pumpEvents();
}

EditPrepError EditPreparation::loadScratch()
{
    std::error_code ec;
    const bool exists = std::filesystem::exists(scratchPath(), ec);
    // Without a converter the scratch picture is not needed (and the colour reduction does not
    // write one); with one, a missing file means there is nothing reduced to edit yet, and
    // carrying on would convert an empty or foreign picture.
    if (!exists) {
        if (ReductionMethod::outputDepth(state_.ColorBit) > 0) {
            report(EditPrepError::NoScratchPicture);
            return EditPrepError::NoScratchPicture;
        }
        return EditPrepError::None;
    }

    ClsDIB loaded;
    if (!loaded.LoadBitMap(scratchPath().string())) {
        report(EditPrepError::BitmapUnreadable);
        return EditPrepError::BitmapUnreadable;
    }
    if (!state_.imageBuffer1.Create(loaded.Width(), loaded.Height(), 24, false)) {
        report(EditPrepError::BufferNotCreated);
        return EditPrepError::BufferNotCreated;
    }
    std::span<const std::uint8_t> from;
    std::span<std::uint8_t> to;
    loaded.MapArray(from);
    state_.imageBuffer1.MapArray(to);
    std::copy_n(from.begin(), std::min(from.size(), to.size()), to.begin());
    state_.imageBuffer2.Free();
    return EditPrepError::None;
}

EditPreparation::Outcome EditPreparation::prepare()
{
    Outcome outcome;
    if (running_)
        return outcome;
    outcome.started = true;
    RunGuard guard(running_);
    BusyScope busy(hooks_.setBusy, false);

    status(translate("EditPreparation", kStatusStarted.data()));
    const EditPrepError loadError = loadScratch();
    if (loadError != EditPrepError::None && loadError != EditPrepError::BitmapUnreadable) {
        outcome.error = loadError;
        return outcome;
    }
    outcome.error = loadError;
    pump();

    if (!state_.imageBuffer1.empty()) {
        busy.acquire();
        pump();
        // An unknown method code converts nothing and leaves no stale picture behind to save.
        state_.imageBuffer2.Free();
        (void)ReductionMethod::convert(state_.ColorBit, state_.imageBuffer2, state_.imageBuffer1,
            state_.threadReduction, state_.stitchMatrix.clothRows(state_.imageBuffer1.Width(), state_.imageBuffer1.Height()));
    }

    // The old file goes first, so a method without a converter leaves none behind. It is the
    // file in the scratch folder, the one that is written next, wherever the program lives.
    std::error_code ec;
    std::filesystem::remove(colorFilePath(), ec);
    if (state_.ColorBit > 0 && !state_.imageBuffer2.empty())
        outcome.colorFileWritten = state_.imageBuffer2.SaveBMP(colorFilePath().string());

    // Handlers run while the model is built may sample the picture again; the model is built
    // from the stitches as they were when the preparation got here.
    const StitchMatrix stitches = state_.stitchMatrix;
    const int width = std::min(state_.gridWidth(), StitchMatrix::kSize);
    const int height = std::min(state_.picH, StitchMatrix::kSize);
    EditColorModel model;
    const EditColorError error = EditColorModel::build(stitches, width, height, table_, model, [this] { pump(); });
    if (error != EditColorError::None) {
        outcome.error = error == EditColorError::TooManyColors ? EditPrepError::TooManyColors
                                                               : EditPrepError::InvalidSize;
        busy.release();
        report(outcome.error);
        return outcome;
    }
    outcome.model = std::move(model);
    outcome.ready = true;
    return outcome;
}

} // namespace kanvo
