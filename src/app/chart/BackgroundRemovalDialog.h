#pragma once

#include <QDialog>

class QLabel;
class QSlider;

namespace kanvo {

// "去除背景": the tolerance slider (CIEDE2000, 0 to kMaxTolerance), the background colour (by
// default the border's most common thread; a click on the chart while the dialog is open
// chooses another) and the number of stitches that would go. It only asks; the chart window
// shows the preview and removes the stitches when the dialog is accepted. Not modal, so that
// the chart stays clickable.
//
// Controls (objectName): sliderTolerance, labelTolerance, labelBackground, labelPreview, and
// the buttons cmdApplyBackground "去除背景" and cmdCancelBackground "取消".
class BackgroundRemovalDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int kMaxTolerance = 50;
    static constexpr int kDefaultTolerance = 10;

    explicit BackgroundRemovalDialog(QWidget* parent = nullptr);

    [[nodiscard]] int tolerance() const;
    void setTolerance(int tolerance);
    // Shows the background thread (its text and colour) and whether it was clicked.
    void showBackground(const QString& thread, const QColor& colour, bool clicked);
    // Shows how many stitches the preview marks.
    void showPreview(int stitches);

signals:
    void toleranceChanged(int tolerance);

private:
    QSlider* slider_ = nullptr;
    QLabel* toleranceLabel_ = nullptr;
    QLabel* backgroundLabel_ = nullptr;
    QLabel* swatch_ = nullptr;
    QLabel* preview_ = nullptr;
};

} // namespace kanvo
