#include "app/chart/BackgroundRemovalDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace kanvo {

BackgroundRemovalDialog::BackgroundRemovalDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgRemoveBackground"));
    setWindowTitle(tr("去除背景"));
    setModal(false);

    auto* page = new QVBoxLayout(this);
    auto* hint = new QLabel(tr("与绣图边缘相连、颜色相近的绣格将被清空，不再绣。\n在绣图上点一下可改选背景颜色。"), this);
    page->addWidget(hint);

    auto* colourRow = new QHBoxLayout;
    swatch_ = new QLabel(this);
    swatch_->setFixedSize(28, 18);
    swatch_->setAutoFillBackground(true);
    backgroundLabel_ = new QLabel(this);
    backgroundLabel_->setObjectName(QStringLiteral("labelBackground"));
    colourRow->addWidget(new QLabel(tr("背景颜色："), this));
    colourRow->addWidget(swatch_);
    colourRow->addWidget(backgroundLabel_, 1);
    page->addLayout(colourRow);

    auto* toleranceRow = new QHBoxLayout;
    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setObjectName(QStringLiteral("sliderTolerance"));
    slider_->setRange(0, kMaxTolerance);
    slider_->setValue(kDefaultTolerance);
    slider_->setMinimumWidth(220);
    toleranceLabel_ = new QLabel(this);
    toleranceLabel_->setObjectName(QStringLiteral("labelTolerance"));
    toleranceLabel_->setMinimumWidth(90);
    toleranceRow->addWidget(new QLabel(tr("容差："), this));
    toleranceRow->addWidget(slider_, 1);
    toleranceRow->addWidget(toleranceLabel_);
    page->addLayout(toleranceRow);

    preview_ = new QLabel(this);
    preview_->setObjectName(QStringLiteral("labelPreview"));
    page->addWidget(preview_);

    auto* buttons = new QHBoxLayout;
    auto* apply = new QPushButton(tr("去除背景"), this);
    apply->setObjectName(QStringLiteral("cmdApplyBackground"));
    apply->setDefault(true);
    auto* cancel = new QPushButton(tr("取消"), this);
    cancel->setObjectName(QStringLiteral("cmdCancelBackground"));
    buttons->addStretch(1);
    buttons->addWidget(apply);
    buttons->addWidget(cancel);
    page->addLayout(buttons);

    connect(apply, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(slider_, &QSlider::valueChanged, this, [this](int value) {
        toleranceLabel_->setText(tr("ΔE %1").arg(value));
        emit toleranceChanged(value);
    });
    toleranceLabel_->setText(tr("ΔE %1").arg(slider_->value()));
}

int BackgroundRemovalDialog::tolerance() const
{
    return slider_->value();
}

void BackgroundRemovalDialog::setTolerance(int tolerance)
{
    slider_->setValue(tolerance);
}

void BackgroundRemovalDialog::showBackground(const QString& thread, const QColor& colour, bool clicked)
{
    backgroundLabel_->setText(clicked ? tr("%1（点选）").arg(thread) : tr("%1（边缘最多的绣线）").arg(thread));
    QPalette p = swatch_->palette();
    p.setColor(QPalette::Window, colour);
    swatch_->setPalette(p);
}

void BackgroundRemovalDialog::showPreview(int stitches)
{
    preview_->setText(tr("预览：将清空 %1 针（绣图上以紫色标出）").arg(stitches));
}

} // namespace kanvo
