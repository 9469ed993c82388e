#include "app/edit/TextOverlay.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

#include "app/edit/OverlayDialogs.h"
#include "app/workspace/MainWindow.h"
#include "app/workspace/WindowHub.h"

namespace kanvo {

namespace {

void setTextColour(QWidget* widget, const QColor& colour)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, colour);
    widget->setPalette(p);
}

} // namespace

TextOverlay::TextOverlay(MainWindow& mainWindow)
    : QObject(&mainWindow), mainWindow_(mainWindow), textBox_(mainWindow.textBox())
{
    textBox_->installEventFilter(this);
    applyFont(mainWindow_.overlayLabel()->font());
}

TextOverlay* TextOverlay::install(MainWindow& mainWindow, WindowHub& hub)
{
    auto* overlay = new TextOverlay(mainWindow);
    const QPointer<TextOverlay> guarded(overlay);
    hub.chooseOverlayFont = [guarded] {
        if (guarded)
            guarded->chooseFont();
    };
    hub.chooseOverlayColor = [guarded] {
        if (guarded)
            guarded->chooseColour();
    };
    return overlay;
}

void TextOverlay::chooseFont()
{
    // A chooser closed without a choice leaves the font as it was.
    if (const auto font = OverlayDialogs::current().chooseFont(&mainWindow_, mainWindow_.overlayLabel()->font()))
        applyFont(*font);
}

void TextOverlay::chooseColour()
{
    const QColor current = mainWindow_.overlayLabel()->palette().color(QPalette::WindowText);
    if (const auto colour = OverlayDialogs::current().chooseColor(&mainWindow_, current))
        applyColour(*colour);
}

void TextOverlay::applyFont(QFont font)
{
    font.setStyleStrategy(QFont::NoAntialias);
    QLabel* label = mainWindow_.overlayLabel();
    label->setFont(font);
    label->adjustSize();
    mainWindow_.surfaceWidget()->setFont(font);
}

void TextOverlay::applyColour(const QColor& colour)
{
    setTextColour(mainWindow_.overlayLabel(), colour);
    setTextColour(mainWindow_.surfaceWidget(), colour);
}

bool TextOverlay::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress && watched == textBox_ && ++clicks_ == 1)
        textBox_->clear();
    return QObject::eventFilter(watched, event);
}

} // namespace kanvo
