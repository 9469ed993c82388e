#pragma once

#include <QDialog>

#include "core/pattern/PatternLayout.h"

class QComboBox;
class QSpinBox;

namespace kanvo {

// The choices of "导出PDF图纸": paper, fabric count, cell size, overlap and style, preset to
// what suits most stitchers (A4, 14 CT, the cell chosen between 2.5 and 3 mm, 2 rows and
// columns of overlap, light tint). Controls (objectName): paperBox, fabricBox, cellBox,
// overlapBox, styleBox.
class PatternDialog : public QDialog {
    Q_OBJECT

public:
    explicit PatternDialog(QWidget* parent = nullptr);

    // The options as chosen; block sizes are the caller's.
    [[nodiscard]] PatternOptions options() const;

private:
    QComboBox* paper_ = nullptr;
    QSpinBox* fabric_ = nullptr;
    QComboBox* cell_ = nullptr;
    QSpinBox* overlap_ = nullptr;
    QComboBox* style_ = nullptr;
};

} // namespace kanvo
