#pragma once

#include <QImage>
#include <QWidget>

namespace kanvo {

// The chart window's viewport: shows the canvas with its left edge at -offsetX and its top edge
// at -offsetY (the values of the window's scroll bars); the rest stays the window's grey.
//
// The view reads the window's own canvas rather than keeping a copy: a second reference to the
// image would make every later paint on it copy the whole canvas first.
class ChartCanvasView : public QWidget {
    Q_OBJECT

public:
    // canvas must outlive the view; call update() after painting on it.
    explicit ChartCanvasView(const QImage& canvas, QWidget* parent = nullptr);

    void setOffset(int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QImage& canvas_;
    int offsetX_ = 0;
    int offsetY_ = 0;
};

} // namespace kanvo
