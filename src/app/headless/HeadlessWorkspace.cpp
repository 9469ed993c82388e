#include "app/headless/HeadlessWorkspace.h"

#include "app/workspace/SurfacePicture.h"

namespace kanvo {

HeadlessWorkspace::HeadlessWorkspace(RunState& state) : state_(state), model_(state, *this) {}

bool HeadlessWorkspace::load(const QString& path, bool chartSizedGrid)
{
    model_.initialize();
    if (chartSizedGrid) {
        state_.picmaxW = ChartModel::kMaxSide;
        state_.picmaxH = ChartModel::kMaxSide;
    }
    state_.imageBuffer1.Free();
    state_.imageBuffer2.Free();
    (void)model_.wholeMode();
    model_.partMode();
    state_.sourceFile = path.toStdString();
    if (!model_.loadSourcePicture())
        return false;
    (void)model_.wChange.setValue(117);
    return true;
}

std::optional<PictureSize> HeadlessWorkspace::decodeSourcePicture()
{
    auto image = PictureDecoder::decode(QString::fromStdString(state_.sourceFile), &decodeError_);
    if (!image)
        return std::nullopt;
    source_ = std::move(*image);
    return PictureSize{source_.width(), source_.height()};
}

void HeadlessWorkspace::showNaturalPicture()
{
    // Shared, not copied: the surface gets pixels of its own only when something paints on it.
    surface_ = source_;
}

void HeadlessWorkspace::stretchPicture(int width, int height)
{
    surface_ = SurfacePicture::stretched(source_, width, height);
}

} // namespace kanvo
