#pragma once

#include <optional>

#include <QDialog>

#include "core/pattern/PatternLayout.h"

class QComboBox;
class QLabel;
class QSpinBox;

namespace kanvo {

// The choices of "导出PDF图纸": paper, fabric count, cell size, overlap and style, preset to
// what suits most stitchers (A4, 14 CT, the cell chosen between 2.5 and 3 mm, 2 rows and
// columns of overlap, light tint). Controls (objectName): paperBox, fabricBox, cellBox,
// overlapBox, styleBox.
//
// Given the cell side of the one-page print, it is the print choice of "打印" instead, titled
// "打印绣图": printKindBox offers "分页图纸" (the same pages through the printer, with these
// options) and "单页绣图" (the whole chart on one page); printKindNote says which one suits the
// chart and why. "分页图纸" comes first when the one-page cells are too small for its symbols.
class PatternDialog : public QDialog {
    Q_OBJECT

public:
    explicit PatternDialog(QWidget* parent = nullptr, std::optional<float> onePageCellMm = std::nullopt);

    // The options as chosen; block sizes are the caller's.
    [[nodiscard]] PatternOptions options() const;
    // The print choice: "分页图纸" chosen (always true for the export).
    [[nodiscard]] bool paged() const;

private:
    void addPrintChoice(float onePageCellMm);

    QComboBox* printKind_ = nullptr;
    QLabel* printNote_ = nullptr;
    QWidget* optionsBox_ = nullptr;
    QComboBox* paper_ = nullptr;
    QSpinBox* fabric_ = nullptr;
    QComboBox* cell_ = nullptr;
    QSpinBox* overlap_ = nullptr;
    QComboBox* style_ = nullptr;
};

} // namespace kanvo
