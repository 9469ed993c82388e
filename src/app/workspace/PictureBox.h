#pragma once

#include <QImage>
#include <QWidget>

namespace kanvo {

// A box showing one QImage at 1:1 from its top-left corner (the zoomed surface `Picture4`, the
// grid display canvas `Picture1`). Pointer presses, moves and releases are reported in the
// box's own pixels.
class PictureBox : public QWidget {
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr);

    // The image shown; paint into it and call update() (or repaint()) to show the change.
    [[nodiscard]] QImage& image() { return image_; }
    [[nodiscard]] const QImage& image() const { return image_; }
    void setImage(QImage image);

signals:
    void pressed(QPointF position, Qt::MouseButton button);
    void moved(QPointF position);
    void released(QPointF position, Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage image_;
};

} // namespace kanvo
