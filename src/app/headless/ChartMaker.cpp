#include "app/headless/ChartMaker.h"

#include <algorithm>
#include <vector>

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include "app/chart/ChartPainter.h"
#include "app/chart/PatternPdf.h"
#include "app/chart/PrintedPage.h"
#include "app/chart/ScreenChart.h"
#include "app/headless/HeadlessWorkspace.h"
#include "app/reduce/SurfaceAdapter.h"
#include "core/chart/ChartGridText.h"
#include "core/chart/ChartTexts.h"
#include "core/chart/ChartResolution.h"
#include "core/common/AtomicFile.h"
#include "core/edit/ChartEditor.h"
#include "core/palette/ColorIndex.h"
#include "core/palette/ThreadTable.h"
#include "core/project/OxsReader.h"
#include "core/project/OxsWriter.h"
#include "core/stitch/LayerTally.h"
#include "core/reduce/ReductionPipeline.h"

namespace kanvo {

namespace {

// The main window's largest grid; larger requests get the chart's own limit.
constexpr int kWindowGridWidth = 230;
constexpr int kWindowGridHeight = 250;

std::string text(const QString& s) { return s.toStdString(); }

std::string quoted(const QString& path)
{
    std::string out(1, '"');
    out += path.toStdString();
    out += '"';
    return out;
}

// A CSV field, quoted only when it has to be.
std::string csvField(std::string_view field)
{
    if (field.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(field);
    std::string out = "\"";
    for (const char c : field) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + '"';
}

bool writeBytes(const QString& path, const QByteArray& bytes, std::string* error)
{
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    return writeFileAtomically(path.toStdString(), std::span(data, static_cast<std::size_t>(bytes.size())), error);
}

} // namespace

void ChartMaker::report(Stage stage, int done, int total) const
{
    if (progress)
        progress(stage, done, total);
}

bool ChartMaker::fail(std::string reason)
{
    error_ = std::move(reason);
    return false;
}

bool ChartMaker::fitGrid(const ChartRequest& request, HeadlessWorkspace& workspace)
{
    WorkspaceModel& model = workspace.model();
    // The order of a user at the main window: the size bars, then "全图", then the zoom bar.
    if (request.width && !model.wChange.setValue(*request.width))
        return fail("grid width " + std::to_string(*request.width) + " lies outside "
            + std::to_string(model.wChange.minimum()) + " to " + std::to_string(model.wChange.maximum()));
    if (request.height && !model.hChange.setValue(*request.height))
        return fail("grid height " + std::to_string(*request.height) + " lies outside "
            + std::to_string(model.hChange.minimum()) + " to " + std::to_string(model.hChange.maximum()));
    if (request.whole)
        (void)model.wholeMode(); // a grid wider than the zoom bar leaves the picture as it is, as in the window
    if (request.zoom && !model.zoom.setValue(*request.zoom))
        return fail("zoom " + std::to_string(*request.zoom) + " lies outside this picture's zoom range "
            + std::to_string(model.zoom.minimum()) + " to " + std::to_string(model.zoom.maximum()));
    return true;
}

void ChartMaker::start(const ChartRequest& request)
{
    error_.clear();
    canvas_ = QImage();
    state_ = RunState();
    mode_ = request.mode;
    notes_ = ImportNotes();
    fabricCount_ = ChartProject::kDefaultFabricCount;
}

bool ChartMaker::make(const ChartRequest& request)
{
    start(request);

    // --- picture and grid: the main window's load step and the user's size choices ---
    report(Stage::Loading, 0, 0);
    HeadlessWorkspace workspace(state_);
    const bool chartSizedGrid = request.width.value_or(0) > kWindowGridWidth || request.height.value_or(0) > kWindowGridHeight;
    if (!workspace.load(request.input, chartSizedGrid))
        return fail("cannot read " + quoted(request.input) + ": " + text(PictureDecoder::errorText(workspace.decodeError())));
    if (!fitGrid(request, workspace))
        return false;
    workspace.releaseSource();

    // --- the chart settings, then "效果预览->" ---
    state_.chart.xiutuTitle = request.title;
    state_.chart.whichType = "DMC";
    state_.ColorBit = request.colorBit;
    state_.blockW = request.blockW;
    state_.blockH = request.blockH;
    state_.mergeTol = request.strength * 20;
    state_.threadReduction = request.threadReduction;

    report(Stage::Reducing, 0, 0);
    QTemporaryDir scratch; // the scratch bitmap stays out of the caller's folders
    if (!scratch.isValid())
        return fail("cannot create a temporary folder: " + text(scratch.errorString()));
    std::string reduceError;
    ReductionPipeline::Hooks hooks;
    hooks.surface = [&workspace] { return SurfaceAdapter::view(workspace.surface()); };
    hooks.report = [&reduceError](ReduceError error, const std::string& detail) {
        if (reduceError.empty())
            reduceError = errorText(error) + (detail.empty() ? std::string() : " " + detail);
    };
    ReductionPipeline pipeline(state_, hooks, scratch.path().toStdString());
    if (!pipeline.superReduce())
        return fail("colour reduction failed: " + (reduceError.empty() ? std::string("no result") : reduceError));

    // --- "生成": colour index and the canvas ---
    ChartModel& model = state_.chart;
    model.chartReady = false;
    model.gw = std::min(state_.gridWidth(), ChartModel::kMaxSide);
    model.gh = std::min(state_.picH, ChartModel::kMaxSide);
    ColorIndexHooks indexHooks;
    indexHooks.progress = [this](int done, int total) { report(Stage::Indexing, done, total); };
    const ColorIndexError indexError = generateChartModel(state_.stitchMatrix, model,
        ColorIndexSettings{state_.mergeTol, request.rareThreshold}, loadedThreadTable(), indexHooks);
    if (indexError == ColorIndexError::TooManyColors)
        return fail("too many colours: the grid holds more than 500 distinct colours; choose a colour reduction");
    if (indexError != ColorIndexError::None)
        return fail(errorText(indexError));

    removeBackground(request);
    return drawCanvas();
}

bool ChartMaker::makeFromProject(const ChartRequest& request)
{
    start(request);
    state_.blockW = request.blockW;
    state_.blockH = request.blockH;
    report(Stage::Loading, 0, 0);
    const OxsReader::Result read = OxsReader::readFile(request.input.toStdString(), loadedThreadTable());
    if (read.error != ProjectError::None)
        return fail("cannot read " + quoted(request.input) + ": " + errorText(read.error)
            + (read.detail.empty() ? std::string() : " (" + read.detail + ")"));
    notes_ = read.notes;
    fabricCount_ = read.project.stitchesPerInch;
    state_.chart = read.project.chart;
    state_.chart.fromProject = true;
    if (!request.title.empty())
        state_.chart.xiutuTitle = request.title;
    completeChart(state_.chart, request.rareThreshold, loadedThreadTable());
    removeBackground(request);
    return drawCanvas();
}

void ChartMaker::removeBackground(const ChartRequest& request)
{
    const std::optional<int> border = ChartRegion::borderThread(state_.chart);
    if (request.background <= 0 || !border)
        return;
    ChartEditor editor(state_.chart, loadedThreadTable(), request.rareThreshold);
    (void)editor.removeBackground(loadedThreadTable().colorOf(*border), request.background);
}

StitchMatrix ChartMaker::blockColors() const
{
    return state_.chart.fromProject ? stitchColors(state_.chart, loadedThreadTable()) : state_.stitchMatrix;
}

bool ChartMaker::drawCanvas()
{
    ChartModel& model = state_.chart;
    report(Stage::Drawing, 0, model.gh);
    const ChartLayout layout
        = ScreenChart::layout(model, ChartOptions{state_.blockW, state_.blockH, mode_, state_.ColorBit});
    QImage canvas = ScreenChart::blankCanvas(layout);
    if (canvas.isNull())
        return fail("not enough memory for the chart canvas");
    ScreenChart::paint(canvas, layout, {}, [this, &model](const DrawSection& section) {
        if (section.stage == DrawStage::Symbols)
            report(Stage::Drawing, section.row + 1, model.gh);
    });
    canvas_ = std::move(canvas);
    return true;
}

bool ChartMaker::saveBitmap(const QString& path)
{
    if (canvas_.isNull())
        return fail("no chart to save");
    std::string reason;
    if (!ScreenChart::saveBitmap(canvas_, path, &reason))
        return fail("cannot write " + quoted(path) + ": " + reason);
    return true;
}

bool ChartMaker::savePng(const QString& path)
{
    if (canvas_.isNull())
        return fail("no chart to save");
    // The same resolution as the saved bitmap, so the picture prints on one page too. Set on the
    // canvas itself: a copy would duplicate its pixels just to carry two numbers.
    const std::int32_t d = chartResolution(canvas_.width(), canvas_.height());
    canvas_.setDotsPerMeterX(d);
    canvas_.setDotsPerMeterY(d);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !canvas_.save(&buffer, "PNG"))
        return fail("cannot encode the chart as PNG");
    std::string reason;
    if (!writeBytes(path, bytes, &reason))
        return fail("cannot write " + quoted(path) + ": " + reason);
    return true;
}

bool ChartMaker::savePdf(const QString& path)
{
    if (canvas_.isNull())
        return fail("no chart to save");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setDocName(QString::fromStdString(chart_texts::title(state_.chart)));

    PrintedPage page(printer);
    PrintLayoutError layoutError = PrintLayoutError::None;
    const std::optional<PrintLayout> layout = page.layout(state_.chart, blockColors(),
        ChartOptions{state_.blockW, state_.blockH, mode_, state_.ColorBit}, &layoutError);
    if (!layout)
        return fail("the chart does not fit on a page: " + std::string(printLayoutErrorText(layoutError)));
    QPainter painter;
    if (!painter.begin(&printer))
        return fail("cannot write " + quoted(path) + ": the PDF file cannot be created");
    ChartPainter chartPainter(page.dotsPerMm());
    chartPainter.paint(painter, layout->drawList());
    if (!painter.end() || !page.commit())
        return fail("cannot write " + quoted(path) + ": the PDF file cannot be completed");
    return true;
}

std::string ChartMaker::legendCsv(const ChartModel& model, const ThreadTable& table)
{
    // A chart without layers keeps the three columns scripts have always read; with layers a
    // fourth column names the kind of every line.
    const bool layered = !model.layers.empty();
    std::string csv = layered ? "symbol,thread,count,kind\n" : "symbol,thread,count\n";
    const auto line = [&](int thread, int count, const char* kind) {
        csv += csvField(model.symbolOf(thread));
        csv += ',';
        csv += csvField(std::to_string(table.dmc(thread).cindex));
        csv += ',';
        csv += std::to_string(count);
        if (layered) {
            csv += ',';
            csv += kind;
        }
        csv += '\n';
    };
    for (const ThreadEntry& entry : model.threadList)
        if (entry.count > 0 || !layered)
            line(entry.index, entry.count, "full");
    if (!layered)
        return csv;
    const LayerTally tally(model.layers);
    using Counts = LayerTally::Counts;
    for (const auto& [kind, count] : {std::pair{"part", &Counts::partStitches}, std::pair{"back", &Counts::backStitches},
             std::pair{"knot", &Counts::knots}, std::pair{"bead", &Counts::beads}})
        for (const ThreadEntry& entry : model.threadList)
            if (const int n = tally.of(entry.index).*count; n > 0)
                line(entry.index, n, kind);
    return csv;
}

bool ChartMaker::saveLegend(const QString& path)
{
    return saveText(path, legendCsv(state_.chart, loadedThreadTable()));
}

bool ChartMaker::saveGrid(const QString& path)
{
    return saveText(path, ChartGridText::csv(state_.chart, loadedThreadTable()));
}

bool ChartMaker::saveText(const QString& path, const std::string& csv)
{
    if (canvas_.isNull())
        return fail("no chart to save");
    std::string reason;
    if (!writeFileAtomically(path.toStdString(),
            std::span(reinterpret_cast<const std::uint8_t*>(csv.data()), csv.size()), &reason))
        return fail("cannot write " + quoted(path) + ": " + reason);
    return true;
}

bool ChartMaker::saveProject(const QString& path)
{
    if (canvas_.isNull())
        return fail("no chart to save");
    ChartProject project;
    project.chart = state_.chart;
    project.stitchesPerInch = fabricCount_;
    project.stitchesPerInchY = fabricCount_;
    std::string reason;
    const ProjectError error = OxsWriter::writeFile(path.toStdString(), project, loadedThreadTable(), &reason);
    if (error != ProjectError::None)
        return fail("cannot write " + quoted(path) + ": " + (reason.empty() ? errorText(error) : reason));
    return true;
}

bool ChartMaker::savePattern(const QString& path, const PatternOptions& chosen)
{
    if (canvas_.isNull())
        return fail("no chart to save");
    PatternOptions options = chosen;
    options.blockW = state_.blockW;
    options.blockH = state_.blockH;
    PatternPdf pdf;
    if (pdf.write(PatternLayout::build(state_.chart, loadedThreadTable(), options), path) != PatternPdf::Result::Written)
        return fail(pdf.error());
    return true;
}

} // namespace kanvo
