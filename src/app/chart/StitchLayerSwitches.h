#pragma once

#include <QWidget>

#include "core/chart/StitchLayerLayout.h"

class QCheckBox;

namespace kanvo {

// The chart window's switches that show or hide part stitches, back stitches, and knots and
// beads in the view. They change only what the window shows: saved bitmaps, prints and
// patterns always hold every layer. All are on at first.
class StitchLayerSwitches : public QWidget {
    Q_OBJECT

public:
    explicit StitchLayerSwitches(QWidget* parent = nullptr);

    [[nodiscard]] LayerVisibility visibility() const;

signals:
    void changed(const kanvo::LayerVisibility& shown);

private:
    QCheckBox* parts_ = nullptr;
    QCheckBox* backs_ = nullptr;
    QCheckBox* ornaments_ = nullptr;
};

} // namespace kanvo
