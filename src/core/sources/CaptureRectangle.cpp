#include "core/sources/CaptureRectangle.h"

#include <algorithm>

#include "core/common/Rounding.h"

namespace kanvo {

CaptureRectangle::CaptureRectangle(int width, int height)
    : width_(std::max(width, 1)), height_(std::max(height, 1))
{
}

void CaptureRectangle::pointerMoved(double x, double y)
{
    lastX_ = x;
    lastY_ = roundHalfEvenInt(y);
}

CaptureRectangle::Point CaptureRectangle::topLeft() const
{
    return {roundHalfEvenInt(lastX_) - width_, lastY_ - height_};
}

} // namespace kanvo
