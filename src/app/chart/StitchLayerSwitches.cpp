#include "app/chart/StitchLayerSwitches.h"

#include <QCheckBox>
#include <QHBoxLayout>

namespace kanvo {

StitchLayerSwitches::StitchLayerSwitches(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("StitchLayerSwitches"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    const auto box = [this, row](const char* name, const QString& caption) {
        auto* b = new QCheckBox(caption, this);
        b->setObjectName(QString::fromUtf8(name));
        b->setChecked(true);
        b->setFocusPolicy(Qt::NoFocus); // the keys stay with the chart
        row->addWidget(b);
        connect(b, &QCheckBox::toggled, this, [this] { emit changed(visibility()); });
        return b;
    };
    backs_ = box("chkShowBackStitches", tr("显示回针"));
    parts_ = box("chkShowPartStitches", tr("显示半针"));
    ornaments_ = box("chkShowKnotsAndBeads", tr("显示法式结和珠子"));
}

LayerVisibility StitchLayerSwitches::visibility() const
{
    return LayerVisibility{parts_->isChecked(), backs_->isChecked(), ornaments_->isChecked()};
}

} // namespace kanvo
