#pragma once

#include <QColor>
#include <QFont>
#include <QObject>
#include <QPointer>

class QLineEdit;

namespace kanvo {

class MainWindow;
class WindowHub;

// The window side of the text overlay that the main window does not do itself: the font and
// colour choosers ("字体选择", "字体颜色") and the first click into the text box `Text1`, which
// empties it once per run so the design text goes away.
//
// The font and colour go to the floating label `Label8` and to the zoomed picture `Picture4`,
// whose stamp draws the label's text in them. Text is drawn without antialiasing, so every
// glyph pixel is exactly the chosen colour: one stitch, one thread, no blended fringe colours.
//
// install() creates one overlay as a child of the main window and sets the hub's
// chooseOverlayFont and chooseOverlayColor hooks.
class TextOverlay : public QObject {
    Q_OBJECT

public:
    explicit TextOverlay(MainWindow& mainWindow);

    static TextOverlay* install(MainWindow& mainWindow, WindowHub& hub);

    void chooseFont();
    void chooseColour();
    void applyFont(QFont font);
    void applyColour(const QColor& colour);

    // Clicks into `Text1` since the program started.
    [[nodiscard]] int textBoxClicks() const { return clicks_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MainWindow& mainWindow_;
    // Kept from the start: the filter also sees events while the main window is being torn down,
    // when its members must no longer be called.
    QPointer<QLineEdit> textBox_;
    int clicks_ = 0;
};

} // namespace kanvo
