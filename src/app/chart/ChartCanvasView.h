#pragma once

#include <QImage>
#include <QWidget>

namespace kanvo {

// The chart window's viewport: shows the canvas with its left edge at -offsetX and its top edge
// at -offsetY (the values of the window's scroll bars); the rest stays the window's grey.
class ChartCanvasView : public QWidget {
    Q_OBJECT

public:
    explicit ChartCanvasView(QWidget* parent = nullptr);

    // The canvas shown; the view keeps a shallow copy, so call again (or update()) after painting.
    void setCanvas(const QImage& canvas);
    void setOffset(int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage canvas_;
    int offsetX_ = 0;
    int offsetY_ = 0;
};

} // namespace kanvo
