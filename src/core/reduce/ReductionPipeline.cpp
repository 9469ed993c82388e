#include "core/reduce/ReductionPipeline.h"

#include <algorithm>
#include <cstdio>
#include <system_error>
#include <vector>

#include "core/common/AtomicFile.h"
#include "core/common/BusyScope.h"
#include "core/common/RunGuard.h"
#include "core/common/Translation.h"
#include "core/image/ClsDIB.h"
#include "core/reduce/ReductionMethod.h"
#include "core/workspace/RunState.h"
#include "core/workspace/StitchMatrix.h"

namespace kanvo {

namespace {

constexpr ColorValue kWhite = 0xFFFFFF;

[[nodiscard]] std::string absoluteText(const std::filesystem::path& path)
{
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(path, ec);
    return (ec ? path : absolute).lexically_normal().string();
}

} // namespace

std::string errorText(ReduceError error)
{
    switch (error) {
    case ReduceError::None:
        return {};
    case ReduceError::ScratchNotWritten:
        return translate("ReductionPipeline", "无法写入临时位图 tmppicv.bmp，减色没有进行。");
    case ReduceError::BitmapUnreadable:
        return translate("ReductionPipeline", "不能识别的位图！");
    case ReduceError::BufferNotCreated:
        return translate("ReductionPipeline", "无法创建！");
    case ReduceError::EffectNotWritten:
        return translate("ReductionPipeline", "绣图效果图没有保存：");
    case ReduceError::Busy:
        return translate("ReductionPipeline", "正在处理，请稍候。");
    }
    return {};
}

ReductionPipeline::ReductionPipeline(RunState& state, Hooks hooks, std::filesystem::path folder)
    : state_(state), hooks_(std::move(hooks)), folder_(std::move(folder))
{
}

std::string ReductionPipeline::effectFileName(int count)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%03d", count);
    return "xiaoguo" + std::string(digits) + ".bmp";
}

void ReductionPipeline::sampleGrid(const PixelSurface& surface, int offsetX, int offsetY, int width, int height,
    StitchMatrix& matrix)
{
    matrix.fill(kWhite);
    width = std::clamp(width, 0, StitchMatrix::kSize);
    height = std::clamp(height, 0, StitchMatrix::kSize);
    // The grid window starts inside the picture, so only its right and bottom may reach past it.
    matrix.setPictureSize(surface.width - offsetX, surface.height - offsetY);
    for (int y = 0; y < height; ++y) {
        const int sy = y + offsetY;
        for (int x = 0; x < width; ++x) {
            const int sx = x + offsetX;
            // The grid window may reach past the picture; there it shows white, as does cloth.
            if (!surface.contains(sx, sy))
                continue;
            if (surface.isCloth(sx, sy))
                matrix.setCloth(x, y, true);
            else
                matrix.set(x, y, surface.at(sx, sy));
        }
    }
}

bool ReductionPipeline::matrixToBuffer(const StitchMatrix& matrix, int width, int height, ClsDIB& out)
{
    width = std::min(width, StitchMatrix::kSize);
    height = std::min(height, StitchMatrix::kSize);
    if (!out.Create(width, height, 24, true))
        return false;
    for (int y = 0; y < height; ++y) {
        const auto row = out.rowFromTop(y);
        for (int x = 0; x < width; ++x) {
            const ColorValue c = matrix.at(x, y);
            row[3 * x] = static_cast<std::uint8_t>(blueOf(c));
            row[3 * x + 1] = static_cast<std::uint8_t>(greenOf(c));
            row[3 * x + 2] = static_cast<std::uint8_t>(redOf(c));
        }
    }
    return true;
}

bool ReductionPipeline::writeBitmap(const ClsDIB& buffer, const std::filesystem::path& path, std::string* reason)
{
    const std::vector<std::uint8_t> bytes = buffer.encodeBmp();
    if (bytes.empty()) {
        if (reason != nullptr)
            *reason = "没有可保存的图像";
        return false;
    }
    return writeFileAtomically(path.string(), bytes, reason);
}

void ReductionPipeline::paintOnto(const ClsDIB& image, PixelSurface& surface, int x0, int y0)
{
    if (image.empty())
        return;
    const int bits = image.ColorBit();
    std::vector<ColorValue> palette(static_cast<std::size_t>(image.colorTableSize()));
    for (int i = 0; i < image.colorTableSize(); ++i)
        palette[static_cast<std::size_t>(i)] = image.GetColorTable(i);

    const int xFrom = std::max(0, -x0);
    const int xTo = std::min(image.Width(), surface.width - x0);
    for (int y = 0; y < image.Height(); ++y) {
        const int sy = y + y0;
        if (sy < 0 || sy >= surface.height)
            continue;
        const auto row = image.rowFromTop(y);
        for (int x = xFrom; x < xTo; ++x) {
            ColorValue c = 0;
            switch (bits) {
            case 1:
                c = palette[(row[x >> 3] >> (7 - (x & 7))) & 1u];
                break;
            case 4:
                c = palette[(x & 1) ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4)];
                break;
            case 8:
                c = palette[row[x]];
                break;
            case 16: {
                const unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
                c = makeColor(static_cast<int>(((v >> 10) & 31u) * 255 / 31),
                    static_cast<int>(((v >> 5) & 31u) * 255 / 31), static_cast<int>((v & 31u) * 255 / 31));
                break;
            }
            case 24:
                c = makeColor(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
                break;
            case 32:
                c = makeColor(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
                break;
            default:
                return;
            }
            surface.set(x + x0, sy, c);
        }
    }
}

ReductionPipeline::GridWindow ReductionPipeline::gridWindow() const
{
    GridWindow grid;
    grid.width = std::clamp(state_.gridWidth(), 0, StitchMatrix::kSize);
    grid.height = std::clamp(state_.picH, 0, StitchMatrix::kSize);
    if (state_.ifScale == 1) {
        grid.offsetX = state_.moveX1;
        grid.offsetY = state_.moveY1;
    }
    return grid;
}

PixelSurface ReductionPipeline::currentSurface() const { return hooks_.surface ? hooks_.surface() : PixelSurface{}; }

void ReductionPipeline::sampleNow()
{
    const GridWindow grid = gridWindow();
    sampleGrid(currentSurface(), grid.offsetX, grid.offsetY, grid.width, grid.height, state_.stitchMatrix);
}

void ReductionPipeline::status(std::string_view text) const
{
    if (hooks_.setStatus)
        hooks_.setStatus(text);
}

void ReductionPipeline::report(ReduceError error, const std::string& detail) const
{
    if (hooks_.report)
        hooks_.report(error, detail);
}

void ReductionPipeline::pump() const
{
    if (hooks_.pumpEvents)
        hooks_.pumpEvents();
}

ReduceError ReductionPipeline::prepareWorkingCopy()
{
    sampleNow();
    const GridWindow grid = gridWindow();

    // The stitch-sized picture goes through the scratch file, which edit preparation reads too.
    // When it cannot be written the run stops: reading back an older file would reduce a stale
    // picture.
    ClsDIB stitches;
    std::string reason;
    if (!matrixToBuffer(state_.stitchMatrix, grid.width, grid.height, stitches)) {
        report(ReduceError::ScratchNotWritten, std::string(kanvo::errorText(stitches.lastError())));
        return ReduceError::ScratchNotWritten;
    }
    if (!writeBitmap(stitches, scratchPath(), &reason)) {
        report(ReduceError::ScratchNotWritten,
            withArgs(translate("ReductionPipeline", "%1：%2"), {absoluteText(scratchPath()), reason}));
        return ReduceError::ScratchNotWritten;
    }
    status(translate("ReductionPipeline", kStatusStarted.data()));

    ReduceError outcome = ReduceError::None;
    ClsDIB loaded;
    if (!loaded.LoadBitMap(scratchPath().string())) {
        // The run goes on with the working copy of an earlier run, if there is one.
        outcome = ReduceError::BitmapUnreadable;
        report(outcome, std::string(kanvo::errorText(loaded.lastError())));
    } else {
        if (!state_.imageBuffer1.Create(loaded.Width(), loaded.Height(), 24, false)) {
            report(ReduceError::BufferNotCreated, std::string(kanvo::errorText(state_.imageBuffer1.lastError())));
            return ReduceError::BufferNotCreated;
        }
        std::span<const std::uint8_t> from;
        std::span<std::uint8_t> to;
        loaded.MapArray(from);
        state_.imageBuffer1.MapArray(to);
        std::copy_n(from.begin(), std::min(from.size(), to.size()), to.begin());
        state_.imageBuffer2.Free();
    }
    pump();
    if (state_.imageBuffer1.empty())
        return outcome == ReduceError::None ? ReduceError::BufferNotCreated : outcome;
    return ReduceError::None; // an unreadable scratch file with an older copy goes on
}

bool ReductionPipeline::superReduce()
{
    if (running_) {
        report(ReduceError::Busy, {});
        return false;
    }
    if (state_.ColorBit == ReductionMethod::kNoReduction) {
        // Nothing to reduce, but the status line ends as after any reduction.
        status(translate("ReductionPipeline", kStatusDone.data()));
        return effectPreview();
    }

    RunGuard guard(running_);
    if (prepareWorkingCopy() != ReduceError::None)
        return false;

    BusyScope busy(hooks_.setBusy);
    pump();
    state_.imageBuffer2.Free();
    // An unknown method code runs no converter and leaves imageBuffer2 empty.
    (void)ReductionMethod::convert(state_.ColorBit, state_.imageBuffer2, state_.imageBuffer1, state_.threadReduction,
        state_.stitchMatrix.clothRows(gridWindow().width, gridWindow().height));
    status(translate("ReductionPipeline", kStatusDone.data()));

    PixelSurface surface = currentSurface();
    const GridWindow grid = gridWindow();
    paintOnto(state_.imageBuffer2, surface, grid.offsetX, grid.offsetY);
    if (hooks_.pictureChanged)
        hooks_.pictureChanged();
    return effectPreview();
}

bool ReductionPipeline::effectPreview()
{
    state_.previewReady = true;
    sampleNow();
    if (hooks_.redrawGrid)
        hooks_.redrawGrid();
    return true;
}

ReductionPipeline::SaveOutcome ReductionPipeline::saveEffect()
{
    SaveOutcome outcome;
    if (running_) {
        report(ReduceError::Busy, {});
        outcome.error = ReduceError::Busy;
        return outcome;
    }
    RunGuard guard(running_);
    ++state_.saveCount;
    outcome.fileName = effectFileName(state_.saveCount);
    const std::filesystem::path file = folder_ / outcome.fileName;
    outcome.path = absoluteText(file);

    if (const ReduceError stop = prepareWorkingCopy(); stop != ReduceError::None) {
        outcome.error = stop;
        return outcome;
    }

    BusyScope busy(hooks_.setBusy);
    pump();
    // Without a reduction method the picture is saved as sampled, in 24 bits.
    const ClsDIB* result = &state_.imageBuffer1;
    if (state_.ColorBit != ReductionMethod::kNoReduction) {
        state_.imageBuffer2.Free();
        (void)ReductionMethod::convert(state_.ColorBit, state_.imageBuffer2, state_.imageBuffer1,
            state_.threadReduction, state_.stitchMatrix.clothRows(gridWindow().width, gridWindow().height));
        result = &state_.imageBuffer2;
    }

    std::string reason;
    if (result->empty()) {
        reason = withArgs(translate("ReductionPipeline", "没有减色结果（未知的减色方法 %1）"), {std::to_string(state_.ColorBit)});
    } else if (writeBitmap(*result, file, &reason)) {
        outcome.written = true;
        outcome.depth = result->ColorBit();
        status(withArgs(translate("ReductionPipeline", kSavedText.data()), {outcome.path}));
        if (hooks_.effectSaved)
            hooks_.effectSaved(outcome.path);
        return outcome;
    }
    outcome.error = ReduceError::EffectNotWritten;
    report(ReduceError::EffectNotWritten, withArgs(translate("ReductionPipeline", "%1：%2"), {outcome.path, reason}));
    return outcome;
}

} // namespace kanvo
