#pragma once

namespace kanvo {

// The capture rectangle of the screen capture: as large as the grid window, its bottom-right
// corner following the pointer. Coordinates are pixels of the frozen screen image, whose origin
// is the screen's top-left corner. The rectangle may reach past any screen edge.
class CaptureRectangle {
public:
    struct Point {
        int x = 0;
        int y = 0;
    };

    // width and height in pixels (the grid window's size when the capture starts), at least 1.
    CaptureRectangle(int width, int height);

    // Pointer moved to (x, y): lastX = x, lastY = nearest(y).
    void pointerMoved(double x, double y);

    [[nodiscard]] int width() const { return width_; }
    [[nodiscard]] int height() const { return height_; }
    [[nodiscard]] double lastX() const { return lastX_; }
    [[nodiscard]] int lastY() const { return lastY_; }
    // Top-left corner as drawn: (nearest(lastX) - width, lastY - height). Before the first
    // movement the pointer counts as being at (0, 0), so the corner is (-width, -height).
    [[nodiscard]] Point topLeft() const;

private:
    int width_;
    int height_;
    double lastX_ = 0;
    int lastY_ = 0;
};

} // namespace kanvo
