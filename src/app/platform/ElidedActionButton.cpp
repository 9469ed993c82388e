#include "app/platform/ElidedActionButton.h"

#include <algorithm>

#include <QAction>
#include <QStyleOptionToolButton>
#include <QStylePainter>

namespace kanvo {

namespace {

// Sizes of a button measured on a short caption, so a long text never widens its layout.
constexpr const char* kMeasuredText = "MMMM";

} // namespace

ElidedActionButton::ElidedActionButton(QAction* action, QWidget* parent) : QToolButton(parent)
{
    setDefaultAction(action);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize ElidedActionButton::sizeHint() const
{
    QStyleOptionToolButton option;
    initStyleOption(&option);
    const QSize text = fontMetrics().size(Qt::TextShowMnemonic, QString::fromLatin1(kMeasuredText));
    return style()->sizeFromContents(QStyle::CT_ToolButton, &option, text, this);
}

QSize ElidedActionButton::minimumSizeHint() const { return sizeHint(); }

QString ElidedActionButton::shownText() const
{
    QStyleOptionToolButton option;
    initStyleOption(&option);
    // The label's room: the button less its frame and the style's margins on both sides.
    const int margin = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this)
        + style()->pixelMetric(QStyle::PM_ButtonMargin, &option, this);
    return fontMetrics().elidedText(option.text, Qt::ElideRight, std::max(0, width() - 2 * margin));
}

void ElidedActionButton::paintEvent(QPaintEvent* /*event*/)
{
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    option.text = shownText();
    painter.drawComplexControl(QStyle::CC_ToolButton, option);
}

} // namespace kanvo
