// Quality of the "精选绣线" thread reduction against two baselines written here and the existing
// reduction methods, on gallery photos and illustrations 80 and 150 stitches wide with budgets of
// 12, 24 and 40 threads. For every method: mean perceived error (CIEDE2000 after a Gaussian blur
// of sigma 1 stitch of picture and chart, in linear RGB), mean pixel error (CIEDE2000 stitch by
// stitch), confetti share (stitches with no same-thread neighbour left, right, above or below),
// island share (stitches in same-thread regions of at most 2 stitches), threads used and time.
//
// Baselines (KMeansBaseline): (a) k-means in CIELAB, centres to their nearest threads, k grown
// until the palette has N threads (or the picture no more colours), no dithering, the calm peer;
// (b) the same palette with Floyd-Steinberg as the dithering peers do it; "(b) unclipped", the
// first, weaker (b), for comparison with earlier figures. Existing methods: the converter, then
// the colour index with the merge tolerance searched for at most N threads.
//
// Goals, at every budget (means over the pictures): perceived error at most 0.92 x (b)'s,
// confetti at most 0.75 x (a)'s, and never more than N threads.
//
//   bench_thread_quality [--dither D] [--cleanup K] [--new-only] [--detail] [--save FOLDER]
//                        [--sweep D1,D2,.. K1,K2,..] [--pictures FILE.. ]
//
// The default run measures the gallery pictures the defaults were tuned on, then as many gallery
// pictures never tuned on. --save writes the pictures and charts (PNG, 4 pixels a stitch) to look
// at side by side. --sweep measures the new method at every pair of dither and clean-up settings
// against the baselines on the tuning pictures, a line each, to tune the defaults on the means.
// --pictures (last) measures the given picture files instead.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include <QGuiApplication>
#include <QImage>

#include "ChartQuality.h"
#include "ExistingMethodChart.h"
#include "GalleryPicture.h"
#include "KMeansBaseline.h"
#include "core/palette/ThreadTable.h"
#include "core/reduce/ThreadPaletteReducer.h"

namespace {

using namespace kanvo;

const char* const kGallery[] = {
    // photos
    "动物/小猫.jpg", "风景/日落.jpg", "风景/秋山.jpg", "美女/宇航员.jpg",
    // illustrations
    "动漫/卡通猫.gif", "动漫/漫画少女.gif", "艺术/花窗.gif", "汽车/红色小汽车.gif",
};
// Never used to tune the defaults: the check that they hold beyond the pictures above.
const char* const kUntuned[] = {
    // photos
    "动物/小狗.jpg", "风景/溪流.jpg", "美女/格蕾丝霍珀.jpg", "艺术/无花果.jpg",
    // illustrations
    "动漫/水手猴.gif", "动物/企鹅.gif", "汽车/老爷车.gif", "美女/紫裙女郎.gif",
};
const int kWidths[] = {80, 150};
const int kBudgets[] = {12, 24, 40};
constexpr double kErrorGoal = 0.92;    // x (b)'s perceived error
constexpr double kConfettiGoal = 0.75; // x (a)'s confetti

const char* const kNew = "new 精选绣线";
const char* const kCalm = "(a) k-means";
const char* const kDithered = "(b) k-means+FS";
const char* const kUnclipped = "(b) unclipped";

struct Existing {
    const char* label;
    int code;
};
const Existing kExisting[] = {{"m16 高分辨", 16}, {"m3 低分辨", 3}, {"m8 8bit", 8}, {"m0 不减色", 0}};

struct Row {
    ChartQuality quality;
    int threads = 0;
    double milliseconds = 0;
};

struct Totals {
    double perceived = 0, pixel = 0, confetti = 0, islands = 0, milliseconds = 0, threads = 0;
    int maxThreads = 0, cases = 0;
    void add(const Row& r)
    {
        perceived += r.quality.perceivedError;
        pixel += r.quality.pixelError;
        confetti += r.quality.confettiShare;
        islands += r.quality.islandShare;
        milliseconds += r.milliseconds;
        threads += r.threads;
        maxThreads = std::max(maxThreads, r.threads);
        ++cases;
    }
};

// One picture at one width and budget, with the baselines measured once.
struct Case {
    const GalleryPicture* picture = nullptr;
    int budget = 0;
    std::map<std::string, Row> rows;
};

// A picture or chart as a PNG file, each stitch a square of 4 x 4 pixels.
void savePicture(const std::string& folder, const std::string& name, std::span<const ColorValue> pixels, int width,
    int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const ColorValue c = pixels[static_cast<std::size_t>(y * width + x)];
            image.setPixel(x, y, qRgb(redOf(c), greenOf(c), blueOf(c)));
        }
    image.scaled(width * 4, height * 4).save(QString::fromStdString(folder + "/" + name + ".png"));
}

template <typename F>
Row timed(const GalleryPicture& p, F&& make, std::vector<ColorValue>* keep = nullptr)
{
    const auto start = std::chrono::steady_clock::now();
    std::vector<ColorValue> chart = make();
    Row row;
    row.milliseconds = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    row.quality = ChartQuality::measure(p.pixels, chart, p.width, p.height);
    row.threads = row.quality.colours;
    if (keep)
        *keep = std::move(chart);
    return row;
}

Row newMethod(const Case& c, ThreadReductionSettings s, std::vector<ColorValue>* keep = nullptr)
{
    const GalleryPicture& p = *c.picture;
    s.threads = c.budget;
    return timed(p, [&] { return ThreadPaletteReducer::reduce(p.pixels, p.width, p.height, s, loadedThreadTable()); },
        keep);
}

void printRow(const char* label, const Row& r)
{
    std::printf("    %-14s perceived %6.3f  pixel %6.3f  confetti %5.1f%%  islands %5.1f%%  threads %3d  %8.2f ms\n",
        label, r.quality.perceivedError, r.quality.pixelError, 100.0 * r.quality.confettiShare,
        100.0 * r.quality.islandShare, r.threads, r.milliseconds);
}

std::vector<int> numbers(const char* list)
{
    std::vector<int> values;
    std::stringstream in(list);
    std::string item;
    while (std::getline(in, item, ','))
        values.push_back(std::atoi(item.c_str()));
    return values;
}

struct Goals {
    double errorRatio = 0, confettiRatio = 0;
    bool met = false;
};

Goals goalsAt(int budget, std::map<std::string, Totals>& totals)
{
    const Totals& n = totals[kNew];
    Goals g;
    g.errorRatio = n.perceived / totals[kDithered].perceived;
    g.confettiRatio = n.confetti / totals[kCalm].confetti;
    g.met = g.errorRatio <= kErrorGoal && g.confettiRatio <= kConfettiGoal && n.maxThreads <= budget;
    return g;
}

// One line per pair of settings: at every budget the new method's means against the goals.
void sweep(const std::vector<Case>& cases, const std::vector<int>& dithers, const std::vector<int>& cleanups)
{
    std::printf("dither cleanup | per budget: perceived / confetti %% / islands %% (x (b) error, x (a) confetti)\n");
    for (int dither : dithers)
        for (int cleanup : cleanups) {
            std::map<int, std::map<std::string, Totals>> byBudget;
            for (const Case& c : cases) {
                byBudget[c.budget][kNew].add(newMethod(c, {c.budget, dither, cleanup}));
                byBudget[c.budget][kCalm].add(c.rows.at(kCalm));
                byBudget[c.budget][kDithered].add(c.rows.at(kDithered));
            }
            std::printf("%6d %7d |", dither, cleanup);
            bool all = true;
            for (int budget : kBudgets) {
                const Totals& n = byBudget[budget][kNew];
                const Goals g = goalsAt(budget, byBudget[budget]);
                all = all && g.met;
                std::printf("  N%d %.3f/%.1f/%.1f (%.2f, %.2f)%s", budget, n.perceived / n.cases,
                    100.0 * n.confetti / n.cases, 100.0 * n.islands / n.cases, g.errorRatio, g.confettiRatio,
                    g.met ? "" : "!");
            }
            std::printf("  %s\n", all ? "all goals met" : "");
            std::fflush(stdout);
        }
}

// Loads the pictures at both widths and measures the baselines once for every budget.
bool loadCases(const std::vector<std::string>& files, std::vector<GalleryPicture>& pictures, std::vector<Case>& cases)
{
    const ThreadTable& table = loadedThreadTable();
    pictures.clear();
    cases.clear();
    for (const std::string& file : files)
        for (int width : kWidths) {
            pictures.push_back(GalleryPicture::load(file, width));
            if (pictures.back().pixels.empty()) {
                std::fprintf(stderr, "cannot read %s\n", file.c_str());
                return false;
            }
        }
    for (const GalleryPicture& p : pictures)
        for (int budget : kBudgets) {
            Case c{&p, budget, {}};
            const KMeansBaseline kMeans(p.pixels, budget, table);
            c.rows[kCalm] = timed(p, [&] { return kMeans.nearest(); });
            c.rows[kDithered] = timed(p, [&] { return kMeans.floydSteinberg(p.width, p.height); });
            c.rows[kUnclipped] = timed(p, [&] { return kMeans.unclippedFloydSteinberg(p.width, p.height); });
            cases.push_back(std::move(c));
        }
    return true;
}

struct Options {
    ThreadReductionSettings settings;
    bool newOnly = false, detail = false;
    std::string saveFolder;
};

// Every method on every case, the means per budget and the goals; true when all are met.
bool report(const char* title, std::vector<Case>& cases, std::size_t files, const Options& o)
{
    const ThreadTable& table = loadedThreadTable();
    std::printf("\n=== %s\n", title);
    std::vector<std::string> labels = {kNew, kCalm, kDithered, kUnclipped};
    if (!o.newOnly)
        for (const Existing& e : kExisting)
            labels.push_back(e.label);
    std::map<int, std::map<std::string, Totals>> byBudget;
    int newWinsError = 0, newWinsConfetti = 0;
    for (Case& c : cases) {
        const GalleryPicture& p = *c.picture;
        std::vector<ColorValue> chart;
        c.rows[kNew] = newMethod(c, o.settings, &chart);
        if (!o.saveFolder.empty()) {
            const KMeansBaseline kMeans(p.pixels, c.budget, table);
            const std::string stem = p.name + "_" + std::to_string(p.width) + "_N" + std::to_string(c.budget);
            savePicture(o.saveFolder, stem + "_picture", p.pixels, p.width, p.height);
            savePicture(o.saveFolder, stem + "_new", chart, p.width, p.height);
            savePicture(o.saveFolder, stem + "_a", kMeans.nearest(), p.width, p.height);
            savePicture(o.saveFolder, stem + "_b", kMeans.floydSteinberg(p.width, p.height), p.width, p.height);
        }
        if (!o.newOnly)
            for (const Existing& e : kExisting) {
                const ExistingMethodChart made = ExistingMethodChart::make(p.pixels, p.width, p.height, e.code, c.budget, table);
                Row row;
                row.quality = ChartQuality::measure(p.pixels, made.chart, p.width, p.height);
                row.threads = made.threads;
                row.milliseconds = made.milliseconds;
                c.rows[e.label] = row;
            }
        newWinsError += c.rows[kNew].quality.perceivedError <= c.rows[kDithered].quality.perceivedError;
        newWinsConfetti += c.rows[kNew].quality.confettiShare <= c.rows[kCalm].quality.confettiShare;
        if (o.detail) {
            std::printf("%s %dx%d, N = %d\n", p.name.c_str(), p.width, p.height, c.budget);
            for (const std::string& l : labels)
                printRow(l.c_str(), c.rows[l]);
        }
        for (const std::string& l : labels)
            byBudget[c.budget][l].add(c.rows[l]);
    }

    std::printf("Means over %zu pictures x %zu widths per budget (threads: mean, and the most any chart used)\n", files,
        std::size(kWidths));
    bool allMet = true;
    for (int budget : kBudgets) {
        std::printf("N = %d\n", budget);
        for (const std::string& l : labels) {
            const Totals& t = byBudget[budget][l];
            std::printf("    %-16s perceived %6.3f  pixel %6.3f  confetti %5.1f%%  islands %5.1f%%  threads %5.1f (<= %3d)  %8.2f ms\n",
                l.c_str(), t.perceived / t.cases, t.pixel / t.cases, 100.0 * t.confetti / t.cases,
                100.0 * t.islands / t.cases, t.threads / t.cases, t.maxThreads, t.milliseconds / t.cases);
        }
        const Goals g = goalsAt(budget, byBudget[budget]);
        std::printf("    goals: perceived %.3f x (b) (goal <= %.2f), confetti %.3f x (a) (goal <= %.2f), threads <= N %s: %s\n",
            g.errorRatio, kErrorGoal, g.confettiRatio, kConfettiGoal,
            byBudget[budget][kNew].maxThreads <= budget ? "kept" : "EXCEEDED", g.met ? "met" : "MISSED");
        allMet = allMet && g.met;
    }
    std::printf("Cases where the new method beats (b) on perceived error: %d of %zu; (a) on confetti: %d of %zu\n",
        newWinsError, cases.size(), newWinsConfetti, cases.size());
    std::printf("All goals %s on %s\n", allMet ? "met" : "NOT met", title);
    std::fflush(stdout);
    return allMet;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    Options options;
    std::vector<int> sweepDithers, sweepCleanups;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--dither") && i + 1 < argc)
            options.settings.dither = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--cleanup") && i + 1 < argc)
            options.settings.cleanup = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--new-only"))
            options.newOnly = true;
        else if (!std::strcmp(argv[i], "--detail"))
            options.detail = true;
        else if (!std::strcmp(argv[i], "--save") && i + 1 < argc)
            options.saveFolder = argv[++i];
        else if (!std::strcmp(argv[i], "--sweep") && i + 2 < argc) {
            sweepDithers = numbers(argv[++i]);
            sweepCleanups = numbers(argv[++i]);
        } else if (!std::strcmp(argv[i], "--pictures"))
            files.assign(argv + i + 1, argv + argc), i = argc;
    }
    const auto gallery = [](std::span<const char* const> names) {
        std::vector<std::string> out;
        for (const char* name : names)
            out.push_back(std::string(KANVO_ASSETS_DIR "/") + name);
        return out;
    };
    struct PictureSet {
        const char* title;
        std::vector<std::string> files;
    };
    std::vector<PictureSet> sets;
    if (!files.empty())
        sets.push_back({"the pictures given", files});
    else {
        sets.push_back({"gallery pictures the defaults were tuned on", gallery(kGallery)});
        if (sweepDithers.empty())
            sets.push_back({"gallery pictures never tuned on", gallery(kUntuned)});
    }

    std::vector<GalleryPicture> pictures;
    std::vector<Case> cases;
    if (!sweepDithers.empty()) {
        if (!loadCases(sets.front().files, pictures, cases))
            return 1;
        sweep(cases, sweepDithers, sweepCleanups);
        return 0;
    }
    std::printf("精选绣线 settings: dither %d, cleanup %d\n", options.settings.dither, options.settings.cleanup);
    bool allMet = true;
    for (const PictureSet& set : sets) {
        if (!loadCases(set.files, pictures, cases))
            return 1;
        allMet = report(set.title, cases, set.files.size(), options) && allMet;
    }
    std::printf("\nAll goals %s\n", allMet ? "met" : "NOT met");
    return 0;
}
