#pragma once

#include <functional>

#include <QImage>
#include <QTimer>
#include <QWidget>

class QLabel;

namespace kanvo {

struct RunState;
class StitchMatrix;

// The final effect preview: a full-screen window that paints every stitch of the last generated
// chart as a square of whole pixels, as large as lets the chart fill most of the screen (at
// least 3 x 3), in its thread's table colour for charts of at most 50 threads and in the reduced
// picture's colour otherwise (a cell without a stitch shows the cloth), with part stitches,
// back stitches, knots and beads over them in their threads' colours, under two lines of
// advice. The first timer tick shows the advice, the second (about a second after opening)
// paints and stops the timer; a click or Esc closes the window, as a small hint says.
class FinalPreviewWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr int kTickMs = 500;
    static constexpr int kLeft = 11;
    static constexpr int kTop = 61;
    static constexpr int kBox = 3;
    static constexpr int kThreadColourLimit = 50;
    // Share of the room below the advice that the chart may fill, and the room kept at the bottom.
    static constexpr double kFill = 0.92;
    static constexpr int kBottom = 20;

    explicit FinalPreviewWindow(RunState& state, QWidget* parent = nullptr);

    // Places the window over the whole screen, starts the timer and shows it.
    void openWindow();
    // One timer tick (public so tests need not wait for the timer).
    void tick();

    [[nodiscard]] const QImage& picture() const { return picture_; }
    [[nodiscard]] bool timerActive() const { return timer_.isActive(); }

    // The side in pixels of a stitch of a gw x gh chart in a window of size `screen`: the largest
    // whole number that keeps the chart within kFill of the room right of kLeft and below kTop,
    // and never below kBox.
    [[nodiscard]] static int stitchSide(QSize screen, int gw, int gh);
    // The side of a stitch as painted at the last opening.
    [[nodiscard]] int stitchSide() const { return side_; }

    // The stitches of the chart painted onto image as side x side squares from (kLeft, kTop)
    // (the image must cover them; others clip).
    static void paintStitches(const RunState& state, QImage& image, int side = kBox);
    // The same with pictureColours in place of the stitch matrix for the colours of a chart of
    // more than kThreadColourLimit threads.
    static void paintStitches(const RunState& state, const StitchMatrix& pictureColours, QImage& image, int side = kBox);

    // The stitch colours of a chart of many threads; by default the stitch matrix. The chart
    // window gives its edited cells their threads' colours here.
    std::function<StitchMatrix()> pictureColours;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    RunState& state_;
    QTimer timer_;
    short ticks_ = 0;
    QImage picture_;
    QLabel* line1_ = nullptr;
    QLabel* line2_ = nullptr;
    QLabel* hint_ = nullptr;
    int side_ = kBox;
};

} // namespace kanvo
