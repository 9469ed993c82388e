#pragma once

#include <QStatusBar>

class QLabel;
class QPushButton;

namespace kanvo {

// The chart window's status bar: the row, column and thread under the pointer, the zoom, and
// "适合窗口", which fits the chart to the window.
class ChartNavigationBar : public QStatusBar {
    Q_OBJECT

public:
    explicit ChartNavigationBar(QWidget* parent = nullptr);

    // Row and column count from 1, as the chart's rulers do; thread is the cell's thread text
    // ("DMC 310  符号 ▲") or empty for a cell without a stitch.
    void showCell(int row, int column, const QString& thread);
    // The pointer is off the grid.
    void showNoCell();
    // View pixels per canvas pixel, shown as a percentage.
    void showZoom(double zoom);

    [[nodiscard]] QString cellText() const;
    [[nodiscard]] QString zoomText() const;

signals:
    void fitRequested();

private:
    QLabel* cell_ = nullptr;
    QLabel* zoom_ = nullptr;
    QPushButton* fit_ = nullptr;
};

} // namespace kanvo
