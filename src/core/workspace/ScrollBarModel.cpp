#include "core/workspace/ScrollBarModel.h"

#include <algorithm>

namespace kanvo {

ScrollBarModel::ScrollBarModel(int minimum, int maximum, int value, int smallStep, int largeStep)
    : minimum_(minimum), maximum_(std::max(minimum, maximum)),
      value_(std::clamp(value, minimum_, maximum_)), smallStep_(std::max(1, smallStep)),
      largeStep_(std::max(1, largeStep))
{
}

bool ScrollBarModel::setValue(int value)
{
    if (value < minimum_ || value > maximum_)
        return false;
    if (value != value_)
        changeTo(value);
    return true;
}

bool ScrollBarModel::setMinimum(int minimum)
{
    if (minimum > maximum_)
        return false;
    minimum_ = minimum;
    if (value_ < minimum_)
        changeTo(minimum_);
    else
        updated();
    return true;
}

bool ScrollBarModel::setMaximum(int maximum)
{
    if (maximum < minimum_)
        return false;
    maximum_ = maximum;
    if (value_ > maximum_)
        changeTo(maximum_);
    else
        updated();
    return true;
}

bool ScrollBarModel::setSmallStep(int step)
{
    if (step < 1)
        return false;
    smallStep_ = step;
    updated();
    return true;
}

bool ScrollBarModel::setLargeStep(int step)
{
    if (step < 1)
        return false;
    largeStep_ = step;
    updated();
    return true;
}

void ScrollBarModel::changeTo(int value)
{
    value_ = value;
    // The mirror widget is brought up to date before the handler, which may read it.
    updated();
    if (onChange)
        onChange(value_);
}

void ScrollBarModel::updated() const
{
    if (onUpdate)
        onUpdate();
}

} // namespace kanvo
