#include "app/chart/ChartNavigationBar.h"

#include <cmath>

#include <QLabel>
#include <QPushButton>

namespace kanvo {

ChartNavigationBar::ChartNavigationBar(QWidget* parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("ChartStatusBar"));
    setSizeGripEnabled(false);
    cell_ = new QLabel(this);
    cell_->setObjectName(QStringLiteral("lblPointerCell"));
    zoom_ = new QLabel(this);
    zoom_->setObjectName(QStringLiteral("lblZoom"));
    fit_ = new QPushButton(tr("适合窗口"), this);
    fit_->setObjectName(QStringLiteral("cmdFitWindow"));
    fit_->setFocusPolicy(Qt::NoFocus);
    addWidget(cell_, 1);
    addPermanentWidget(zoom_);
    addPermanentWidget(fit_);
    connect(fit_, &QPushButton::clicked, this, &ChartNavigationBar::fitRequested);
    showZoom(1.0);
}

void ChartNavigationBar::showCell(int row, int column, const QString& thread)
{
    cell_->setText(tr("第%1行 第%2列  %3").arg(row).arg(column).arg(thread.isEmpty() ? tr("空") : thread));
}

void ChartNavigationBar::showNoCell() { cell_->clear(); }

void ChartNavigationBar::showZoom(double zoom)
{
    zoom_->setText(tr("缩放 %1%").arg(std::lround(zoom * 100.0)));
}

QString ChartNavigationBar::cellText() const { return cell_->text(); }
QString ChartNavigationBar::zoomText() const { return zoom_->text(); }

} // namespace kanvo
