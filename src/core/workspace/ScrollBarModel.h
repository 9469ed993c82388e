#pragma once

#include <functional>

namespace kanvo {

// The behaviour of one scroll bar of the workspace, independent of any widget.
//
// A value outside minimum..maximum or a step below 1 is refused (the setter returns false and
// nothing changes). Setting the value it already holds does nothing; a changed value runs
// onChange at once, before setValue returns. Narrowing the range so that the value falls
// outside moves the value to the nearest limit, which counts as a change. onUpdate runs after
// every change of value, range or steps, for the widget that mirrors the bar.
class ScrollBarModel {
public:
    ScrollBarModel(int minimum, int maximum, int value, int smallStep = 1, int largeStep = 10);

    [[nodiscard]] int minimum() const { return minimum_; }
    [[nodiscard]] int maximum() const { return maximum_; }
    [[nodiscard]] int value() const { return value_; }
    [[nodiscard]] int smallStep() const { return smallStep_; }
    [[nodiscard]] int largeStep() const { return largeStep_; }

    // Returns false for a value outside minimum..maximum.
    [[nodiscard]] bool setValue(int value);
    // Returns false when minimum > maximum would result.
    [[nodiscard]] bool setMinimum(int minimum);
    [[nodiscard]] bool setMaximum(int maximum);
    // Return false for a step below 1.
    [[nodiscard]] bool setSmallStep(int step);
    [[nodiscard]] bool setLargeStep(int step);

    std::function<void(int value)> onChange;
    std::function<void()> onUpdate;

private:
    void changeTo(int value);
    void updated() const;

    int minimum_;
    int maximum_;
    int value_;
    int smallStep_;
    int largeStep_;
};

} // namespace kanvo
