// kanvo-cli chart: a picture in, a chart (and its multi-page pattern) out, made by the program's own workspace, reduction,
// colour index and chart drawing on the offscreen platform.

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include <unistd.h>

#include <QFileInfo>
#include <QGuiApplication>

#include "CommandLine.h"
#include "Commands.h"
#include "app/headless/ChartMaker.h"
#include "app/platform/FontSubstitutions.h"
#include "app/platform/QtTranslation.h"
#include "core/palette/ChartModel.h"
#include "core/palette/ThreadTable.h"
#include "core/pattern/PatternLayout.h"
#include "core/reduce/ChartSettingsModel.h"
#include "core/reduce/ReductionMethod.h"

namespace kanvo::cli {

namespace {

int fail(const std::string& message) { return reportFailure("chart", message); }
int usageError(const std::string& message) { return reportUsageError("chart", message); }

struct MethodName {
    std::string_view name;
    int code;
};

// The settings window's methods under short names; the window's own texts are accepted too.
constexpr MethodName kMethods[] = {
    {"216", 16}, {"3bit", 3}, {"4bit", 4}, {"2bit", 2}, {"8bit", 8}, {"1bit", 1}, {"none", 0},
    {"threads", ReductionMethod::kThreadPalette},
};
constexpr std::string_view kMethodList = "216, 3bit, 4bit, 2bit, 8bit, 1bit, none or threads";

std::optional<int> methodCode(const std::string& name)
{
    for (const MethodName& m : kMethods)
        if (m.name == name)
            return m.code;
    return ReductionMethod::codeForSettingsText(name);
}

// The settings of the "精选绣线" method, each a whole number within its range.
struct ThreadOption {
    std::string_view name;
    int low;
    int high;
    int ThreadReductionSettings::*field;
};

using Threads = ThreadReductionSettings;
constexpr ThreadOption kThreadOptions[] = {
    {"--threads", Threads::kMinThreads, Threads::kMaxThreads, &Threads::threads},
    {"--dither", 0, Threads::kMaxDither, &Threads::dither},
    {"--cleanup", 0, Threads::kMaxCleanup, &Threads::cleanup},
};

const ThreadOption* threadOption(const std::string& arg)
{
    for (const ThreadOption& option : kThreadOptions)
        if (option.name == arg)
            return &option;
    return nullptr;
}

// A cell side such as "2.8": a plain decimal number of millimetres in the pattern's range.
std::optional<float> parseMillimetres(const std::string& text)
{
    float value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (ec != std::errc{} || end != text.data() + text.size() || !(value >= PatternOptions::kCellMin)
        || !(value <= PatternOptions::kCellMax))
        return std::nullopt;
    return value;
}

enum class Format { Bitmap, Png, Pdf, Project };

std::optional<Format> formatOf(const std::string& path)
{
    const QString suffix = QFileInfo(QString::fromStdString(path)).suffix().toLower();
    if (suffix == QLatin1String("bmp"))
        return Format::Bitmap;
    if (suffix == QLatin1String("png"))
        return Format::Png;
    if (suffix == QLatin1String("pdf"))
        return Format::Pdf;
    if (suffix == QLatin1String("oxs"))
        return Format::Project;
    return std::nullopt;
}

// The tolerance of --background: a number from 0 to 100.
std::optional<double> backgroundTolerance(const std::string& text)
{
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !(value >= 0 && value <= 100))
        return std::nullopt;
    return value;
}

// Why `path` cannot be written, or nothing when its folder is there to write in. Every output
// is checked before the chart is made, so that a run that fails for one output writes none.
std::optional<std::string> unwritable(const std::string& path)
{
    const QFileInfo file(QString::fromStdString(path));
    const QFileInfo folder(file.absolutePath());
    const auto quoted = [](const QString& name) { return "\"" + name.toStdString() + "\""; };
    std::string why;
    if (file.isDir())
        why = "it is a folder";
    else if (!folder.exists())
        why = "the folder " + quoted(folder.filePath()) + " does not exist";
    else if (!folder.isDir())
        why = quoted(folder.filePath()) + " is not a folder";
    else if (!folder.isWritable())
        why = "the folder " + quoted(folder.filePath()) + " is not writable";
    else
        return std::nullopt;
    return "cannot write " + quoted(QString::fromStdString(path)) + ": " + why;
}

// Qt's own chatter (fonts, runtime folders) would bury the one error line.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::cerr << "kanvo-cli chart: " << message.toStdString() << '\n';
}

// One line rewritten in place on a terminal; nothing otherwise.
class Progress {
public:
    Progress() : enabled_(isatty(STDERR_FILENO) == 1) {}
    ~Progress() { clear(); }

    void show(ChartMaker::Stage stage, int done, int total)
    {
        if (!enabled_)
            return;
        const char* name = "";
        switch (stage) {
        case ChartMaker::Stage::Loading: name = "loading the picture"; break;
        case ChartMaker::Stage::Reducing: name = "reducing colours"; break;
        case ChartMaker::Stage::Indexing: name = "matching threads"; break;
        case ChartMaker::Stage::Drawing: name = "drawing the chart"; break;
        }
        std::string line = "kanvo-cli chart: ";
        line += name;
        if (total > 0) {
            line += ' ';
            line += std::to_string(100 * done / total);
            line += '%';
        }
        if (line == last_)
            return;
        last_ = line;
        std::fprintf(stderr, "\r\033[K%s", line.c_str());
        std::fflush(stderr);
    }
    void clear()
    {
        if (enabled_ && !last_.empty()) {
            std::fprintf(stderr, "\r\033[K");
            std::fflush(stderr);
            last_.clear();
        }
    }

private:
    bool enabled_;
    std::string last_;
};

} // namespace

int runChart(CommandArgs args)
{
    ChartRequest request;
    std::optional<std::string> input;
    std::optional<std::string> output;
    std::optional<std::string> legend;
    std::optional<std::string> grid;
    std::optional<std::string> pattern;
    PatternOptions patternOptions;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::size_t n) { return i + n < args.size(); };
        if (arg == "--whole") {
            request.whole = true;
        } else if (const ThreadOption* option = threadOption(arg)) {
            if (!value(1))
                return usageError("option " + arg + " needs a value");
            const std::string& v = args[++i];
            const auto n = parseInt(v, option->low, option->high);
            if (!n)
                return usageError(arg + " needs a whole number from " + std::to_string(option->low) + " to "
                    + std::to_string(option->high) + ", not \"" + v + "\"");
            request.threadReduction.*option->field = *n;
        } else if (arg == "--block") {
            if (!value(2))
                return usageError("option --block needs two values (W H)");
            const auto w = parseInt(args[i + 1], ChartSettingsModel::kBlockMin, ChartSettingsModel::kBlockMax);
            const auto h = parseInt(args[i + 2], ChartSettingsModel::kBlockMin, ChartSettingsModel::kBlockMax);
            if (!w || !h)
                return usageError("--block needs two whole numbers from 1 to 320, not \"" + args[i + 1] + " "
                    + args[i + 2] + "\"");
            request.blockW = *w;
            request.blockH = *h;
            i += 2;
        } else if (arg == "--pattern" || arg == "--paper" || arg == "--fabric" || arg == "--cell-mm"
            || arg == "--overlap") {
            if (!value(1))
                return usageError("option " + arg + " needs a value");
            const std::string& v = args[++i];
            if (arg == "--pattern") {
                pattern = v;
            } else if (arg == "--paper") {
                if (v == "A4" || v == "a4")
                    patternOptions.paper = PaperSize::A4;
                else if (v == "Letter" || v == "letter")
                    patternOptions.paper = PaperSize::Letter;
                else
                    return usageError("unknown paper \"" + v + "\" (use A4 or Letter)");
            } else if (arg == "--fabric") {
                const auto n = parseInt(v, 6, 40);
                if (!n)
                    return usageError("--fabric needs a whole number of stitches per inch from 6 to 40, not \"" + v + "\"");
                patternOptions.fabricCount = *n;
            } else if (arg == "--cell-mm") {
                const auto mm = parseMillimetres(v);
                if (!mm)
                    return usageError("--cell-mm needs a cell side in millimetres from 1.5 to 10, not \"" + v + "\"");
                patternOptions.cellMm = *mm;
            } else { // --overlap
                const auto n = parseInt(v, 0, PatternOptions::kOverlapMax);
                if (!n)
                    return usageError("--overlap needs a whole number from 0 to 10, not \"" + v + "\"");
                patternOptions.overlap = *n;
            }
        } else if (arg == "-o" || arg == "--legend" || arg == "--width" || arg == "--height" || arg == "--zoom"
            || arg == "--method" || arg == "--merge" || arg == "--rare" || arg == "--mode" || arg == "--title"
            || arg == "--grid" || arg == "--background") {
            if (!value(1))
                return usageError("option " + arg + " needs a value");
            const std::string& v = args[++i];
            if (arg == "-o") {
                output = v;
            } else if (arg == "--legend") {
                legend = v;
            } else if (arg == "--grid") {
                grid = v;
            } else if (arg == "--background") {
                const std::optional<double> tolerance = backgroundTolerance(v);
                if (!tolerance)
                    return usageError("--background needs a colour difference (CIEDE2000) from 0 to 100, 0 for none, not \"" + v + "\"");
                request.background = *tolerance;
            } else if (arg == "--title") {
                request.title = v;
            } else if (arg == "--width") {
                if (!(request.width = parseInt(v, 16, ChartModel::kMaxSide)))
                    return usageError("--width needs a whole number from 16 to 320, not \"" + v + "\"");
            } else if (arg == "--height") {
                if (!(request.height = parseInt(v, 16, ChartModel::kMaxSide)))
                    return usageError("--height needs a whole number from 16 to 320, not \"" + v + "\"");
            } else if (arg == "--zoom") {
                if (!(request.zoom = parseInt(v, 1, 1 << 20)))
                    return usageError("--zoom needs a positive whole number, not \"" + v + "\"");
            } else if (arg == "--method") {
                const auto code = methodCode(v);
                if (!code)
                    return usageError("unknown method \"" + v + "\" (use " + std::string(kMethodList) + ")");
                request.colorBit = *code;
            } else if (arg == "--merge") {
                const auto n = parseInt(v, 0, ChartSettingsModel::kStrengthMax);
                if (!n)
                    return usageError("--merge needs a whole number from 0 to 9999, not \"" + v + "\"");
                request.strength = *n;
            } else if (arg == "--rare") {
                const auto n = parseInt(v, -32768, 32767);
                if (!n)
                    return usageError("--rare needs a whole number (16 bits), not \"" + v + "\"");
                request.rareThreshold = *n;
            } else { // --mode
                if (v == "symbols")
                    request.mode = ChartMode::SymbolsOnly;
                else if (v == "blocks")
                    request.mode = ChartMode::BlocksOnly;
                else if (v == "both")
                    request.mode = ChartMode::BlocksAndSymbols;
                else
                    return usageError("unknown mode \"" + v + "\" (use blocks, symbols or both)");
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            return usageError("unknown option \"" + arg + "\"");
        } else if (input) {
            return usageError("more than one input file given");
        } else {
            input = arg;
        }
    }
    if (!input)
        return usageError("missing input picture");
    if (pattern && pattern->empty())
        return usageError("option --pattern needs a file name");
    if (output && output->empty())
        return usageError("option -o needs a file name");
    if (!output && !pattern && !legend && !grid)
        return usageError("nothing to write: give -o OUT.bmp|OUT.png|OUT.pdf|OUT.oxs, --pattern, --legend or --grid");
    std::optional<Format> format;
    if (output) {
        format = formatOf(*output);
        if (!format)
            return usageError("cannot tell the format of \"" + *output + "\": name it .bmp, .png, .pdf or .oxs");
    }
    // A chart project is read as it is: no fitting, no reduction, their options ignored.
    const bool fromProject = formatOf(*input) == Format::Project;
    if (legend && legend->empty())
        return usageError("option --legend needs a file name");
    if (grid && grid->empty())
        return usageError("option --grid needs a file name");
    for (const std::optional<std::string>* file : {&output, &pattern, &legend, &grid}) {
        if (!*file)
            continue;
        if (const std::optional<std::string> why = unwritable(**file))
            return fail(*why);
    }

    // Nothing is shown on screen: the chart is drawn on the offscreen platform whatever the
    // session offers, so the result does not depend on a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietMessages);
    int argc = 1;
    char name[] = "kanvo-cli";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    // The chart's texts in the language of --lang.
    const auto language = UiLanguage::fromCode(QString::fromStdString(textLanguage));
    (void)QtTranslation::install(app, language.value_or(UiLanguage::Language::Chinese));
    // The program's own fonts, set up as its start-up does, so the chart is the window's chart.
    installFontSubstitutions();
    (void)loadFontAliasFile();

    request.input = QString::fromStdString(*input);
    Progress progress;
    ChartMaker maker;
    maker.progress = [&progress](ChartMaker::Stage stage, int done, int total) { progress.show(stage, done, total); };
    if (!(fromProject ? maker.makeFromProject(request) : maker.make(request))) {
        progress.clear();
        return fail(maker.error());
    }
    progress.clear();
    if (fromProject && !maker.importNotes().empty())
        std::cerr << "kanvo-cli chart: note: " << maker.importNotes().text(loadedThreadTable());
    if (format) {
        const QString out = QString::fromStdString(*output);
        bool written = false;
        switch (*format) {
        case Format::Bitmap: written = maker.saveBitmap(out); break;
        case Format::Png: written = maker.savePng(out); break;
        case Format::Pdf: written = maker.savePdf(out); break;
        case Format::Project: written = maker.saveProject(out); break;
        }
        if (!written)
            return fail(maker.error());
    }
    if (pattern && !maker.savePattern(QString::fromStdString(*pattern), patternOptions))
        return fail(maker.error());
    if (legend && !maker.saveLegend(QString::fromStdString(*legend)))
        return fail(maker.error());
    if (grid && !maker.saveGrid(QString::fromStdString(*grid)))
        return fail(maker.error());
    return 0;
}

} // namespace kanvo::cli
