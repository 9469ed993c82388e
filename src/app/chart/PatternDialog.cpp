#include "app/chart/PatternDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/chart/ChartPrinter.h"

namespace kanvo {

namespace {

// Cell sides offered besides the automatic choice, in millimetres.
constexpr float kCellSizes[] = {2.5f, 3.0f, 3.5f, 4.0f, 5.0f};

} // namespace

PatternDialog::PatternDialog(QWidget* parent, std::optional<float> onePageCellMm) : QDialog(parent)
{
    setObjectName(QStringLiteral("PatternDialog"));
    setWindowTitle(QStringLiteral("导出PDF图纸"));

    paper_ = new QComboBox(this);
    paper_->setObjectName(QStringLiteral("paperBox"));
    paper_->addItem(QStringLiteral("A4 (210 × 297 mm)"), static_cast<int>(PaperSize::A4));
    paper_->addItem(QStringLiteral("Letter (8.5 × 11 英寸)"), static_cast<int>(PaperSize::Letter));

    fabric_ = new QSpinBox(this);
    fabric_->setObjectName(QStringLiteral("fabricBox"));
    fabric_->setRange(6, 40);
    fabric_->setValue(PatternOptions::kDefaultFabric);
    fabric_->setSuffix(QStringLiteral(" CT（每英寸针数）"));

    cell_ = new QComboBox(this);
    cell_->setObjectName(QStringLiteral("cellBox"));
    cell_->addItem(QStringLiteral("自动（2.5 至 3 mm，页数最少）"), static_cast<double>(PatternOptions::kAutoCell));
    for (const float mm : kCellSizes)
        cell_->addItem(QStringLiteral("%1 mm").arg(static_cast<double>(mm)), static_cast<double>(mm));

    overlap_ = new QSpinBox(this);
    overlap_->setObjectName(QStringLiteral("overlapBox"));
    overlap_->setRange(0, PatternOptions::kOverlapMax);
    overlap_->setValue(PatternOptions{}.overlap);
    overlap_->setSuffix(QStringLiteral(" 行/列"));

    style_ = new QComboBox(this);
    style_->setObjectName(QStringLiteral("styleBox"));
    style_->addItem(QStringLiteral("浅色底（适合打印）"), static_cast<int>(PatternStyle::Tint));
    style_->addItem(QStringLiteral("全彩（适合平板）"), static_cast<int>(PatternStyle::FullColour));

    optionsBox_ = new QWidget(this);
    auto* form = new QFormLayout(optionsBox_);
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(QStringLiteral("纸张："), paper_);
    form->addRow(QStringLiteral("绣布："), fabric_);
    form->addRow(QStringLiteral("格子大小："), cell_);
    form->addRow(QStringLiteral("重叠："), overlap_);
    form->addRow(QStringLiteral("样式："), style_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(onePageCellMm ? tr("打印") : QStringLiteral("导出"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* page = new QVBoxLayout(this);
    page->addWidget(optionsBox_);
    page->addWidget(buttons);
    if (onePageCellMm)
        addPrintChoice(*onePageCellMm);
}

void PatternDialog::addPrintChoice(float onePageCellMm)
{
    setWindowTitle(tr("打印绣图"));
    printKind_ = new QComboBox(this);
    printKind_->setObjectName(QStringLiteral("printKindBox"));
    printKind_->addItem(tr("分页图纸"), true);
    printKind_->addItem(tr("单页绣图"), false);
    printNote_ = new QLabel(this);
    printNote_->setObjectName(QStringLiteral("printKindNote"));
    printNote_->setWordWrap(true);
    const QString cell = QString::number(static_cast<double>(onePageCellMm), 'f', 1);
    const bool readable = onePageCellMm >= ChartPrinter::kReadableCellMm;
    if (onePageCellMm <= 0)
        printNote_->setText(tr("这张绣图放不进一页，请用分页图纸：封面、线表和分页图，每格 2.5 至 3 mm。"));
    else if (readable)
        printNote_->setText(tr("单页绣图每格 %1 mm，符号放得下。分页图纸另有封面、线表和分页图。").arg(cell));
    else
        printNote_->setText(tr("单页绣图每格只有 %1 mm，放不下符号，会糊成一片；分页图纸把绣图分到几页上，"
                               "每格 2.5 至 3 mm，符号清楚。")
                                .arg(cell));
    printKind_->setCurrentIndex(readable ? 1 : 0);
    optionsBox_->setEnabled(!readable);
    connect(printKind_, &QComboBox::currentIndexChanged, this, [this] { optionsBox_->setEnabled(paged()); });

    auto* choice = new QFormLayout;
    choice->addRow(tr("打印方式："), printKind_);
    auto* page = static_cast<QVBoxLayout*>(layout());
    page->insertLayout(0, choice);
    page->insertWidget(1, printNote_);
}

bool PatternDialog::paged() const
{
    return printKind_ == nullptr || printKind_->currentData().toBool();
}

PatternOptions PatternDialog::options() const
{
    PatternOptions options;
    options.paper = static_cast<PaperSize>(paper_->currentData().toInt());
    options.fabricCount = fabric_->value();
    options.cellMm = static_cast<float>(cell_->currentData().toDouble());
    options.overlap = overlap_->value();
    options.style = static_cast<PatternStyle>(style_->currentData().toInt());
    return options;
}

} // namespace kanvo
