// Quality of the "精选绣线" thread reduction against two baselines written here and the existing
// reduction methods, on gallery photos and illustrations 80 and 150 stitches wide with budgets of
// 12, 24 and 40 threads. For every method: mean perceived error (CIEDE2000 after a Gaussian blur
// of sigma 1 stitch of picture and chart, in linear RGB), mean pixel error (CIEDE2000 stitch by
// stitch), confetti share (stitches with no same-thread neighbour left, right, above or below),
// threads used and time.
//
// Baselines: (a) k-means with k = N in CIELAB, centres to their nearest threads by CIEDE2000, no
// dithering; (b) the same palette with full Floyd-Steinberg in linear RGB. Existing methods: the
// converter, then the colour index with the merge tolerance searched for at most N threads.
//
// Goals, at every budget (means over the pictures): the new method's defaults give a perceived
// error no higher than (b) and a confetti share no higher than (a), and never more than N threads.
//
//   bench_thread_quality [--dither D] [--cleanup K] [--new-only] [--detail] [--save FOLDER]
//
// --save writes the pictures and charts (PNG, 4 pixels a stitch) to look at side by side.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <span>
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

const char* const kPictures[] = {
    // photos
    "动物/小猫.jpg", "风景/日落.jpg", "风景/秋山.jpg", "美女/宇航员.jpg",
    // illustrations
    "动漫/卡通猫.gif", "动漫/漫画少女.gif", "艺术/花窗.gif", "汽车/红色小汽车.gif",
};
const int kWidths[] = {80, 150};
const int kBudgets[] = {12, 24, 40};

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
    double perceived = 0, pixel = 0, confetti = 0, milliseconds = 0;
    int maxThreads = 0, cases = 0;
    void add(const Row& r)
    {
        perceived += r.quality.perceivedError;
        pixel += r.quality.pixelError;
        confetti += r.quality.confettiShare;
        milliseconds += r.milliseconds;
        maxThreads = std::max(maxThreads, r.threads);
        ++cases;
    }
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
Row timed(const GalleryPicture& p, F&& make)
{
    const auto start = std::chrono::steady_clock::now();
    const std::vector<ColorValue> chart = make();
    Row row;
    row.milliseconds = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    row.quality = ChartQuality::measure(p.pixels, chart, p.width, p.height);
    row.threads = row.quality.colours;
    return row;
}

void printRow(const char* label, const Row& r)
{
    std::printf("    %-14s perceived %6.3f  pixel %6.3f  confetti %5.1f%%  threads %3d  %8.2f ms\n", label,
        r.quality.perceivedError, r.quality.pixelError, 100.0 * r.quality.confettiShare, r.threads, r.milliseconds);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ThreadReductionSettings defaults;
    bool newOnly = false, detail = false;
    std::string saveFolder;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--dither") && i + 1 < argc)
            defaults.dither = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--cleanup") && i + 1 < argc)
            defaults.cleanup = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--new-only"))
            newOnly = true;
        else if (!std::strcmp(argv[i], "--detail"))
            detail = true;
        else if (!std::strcmp(argv[i], "--save") && i + 1 < argc)
            saveFolder = argv[++i];
    }
    const ThreadTable& table = loadedThreadTable();
    std::printf("精选绣线 settings: dither %d, cleanup %d\n", defaults.dither, defaults.cleanup);

    std::vector<std::string> labels = {"new 精选绣线", "(a) k-means", "(b) k-means+FS"};
    if (!newOnly)
        for (const Existing& e : kExisting)
            labels.push_back(e.label);
    std::map<int, std::map<std::string, Totals>> byBudget;
    int newWinsError = 0, newWinsConfetti = 0, cases = 0;

    for (const char* file : kPictures) {
        for (int width : kWidths) {
            const GalleryPicture p = GalleryPicture::load(std::string(KANVO_ASSETS_DIR "/") + file, width);
            if (p.pixels.empty()) {
                std::fprintf(stderr, "cannot read %s\n", file);
                return 1;
            }
            for (int budget : kBudgets) {
                std::map<std::string, Row> rows;
                ThreadReductionSettings s = defaults;
                s.threads = budget;
                std::vector<ColorValue> chart, plain, diffused;
                rows[labels[0]] = timed(p, [&] { return chart = ThreadPaletteReducer::reduce(p.pixels, p.width, p.height, s, table); });
                rows[labels[1]] = timed(p, [&] { return plain = KMeansBaseline(p.pixels, budget, table).nearest(); });
                rows[labels[2]] = timed(p, [&] { return diffused = KMeansBaseline(p.pixels, budget, table).floydSteinberg(p.width, p.height); });
                if (!saveFolder.empty()) {
                    const std::string stem = p.name + "_" + std::to_string(p.width) + "_N" + std::to_string(budget);
                    savePicture(saveFolder, stem + "_picture", p.pixels, p.width, p.height);
                    savePicture(saveFolder, stem + "_new", chart, p.width, p.height);
                    savePicture(saveFolder, stem + "_a", plain, p.width, p.height);
                    savePicture(saveFolder, stem + "_b", diffused, p.width, p.height);
                }
                if (!newOnly)
                    for (const Existing& e : kExisting) {
                        const ExistingMethodChart made = ExistingMethodChart::make(p.pixels, p.width, p.height, e.code, budget, table);
                        Row row;
                        row.quality = ChartQuality::measure(p.pixels, made.chart, p.width, p.height);
                        row.threads = made.threads;
                        row.milliseconds = made.milliseconds;
                        rows[e.label] = row;
                    }
                ++cases;
                newWinsError += rows[labels[0]].quality.perceivedError <= rows[labels[2]].quality.perceivedError;
                newWinsConfetti += rows[labels[0]].quality.confettiShare <= rows[labels[1]].quality.confettiShare;
                if (detail) {
                    std::printf("%s %dx%d, N = %d\n", p.name.c_str(), p.width, p.height, budget);
                    for (const std::string& l : labels)
                        printRow(l.c_str(), rows[l]);
                }
                for (const std::string& l : labels)
                    byBudget[budget][l].add(rows[l]);
            }
        }
    }

    std::printf("\nMeans over %zu pictures x %zu widths per budget (threads: the most any chart used)\n",
        std::size(kPictures), std::size(kWidths));
    bool allMet = true;
    for (int budget : kBudgets) {
        std::printf("N = %d\n", budget);
        for (const std::string& l : labels) {
            const Totals& t = byBudget[budget][l];
            std::printf("    %-16s perceived %6.3f  pixel %6.3f  confetti %5.1f%%  threads <= %3d  %8.2f ms\n",
                l.c_str(), t.perceived / t.cases, t.pixel / t.cases, 100.0 * t.confetti / t.cases, t.maxThreads,
                t.milliseconds / t.cases);
        }
        const Totals& n = byBudget[budget][labels[0]];
        const Totals& a = byBudget[budget][labels[1]];
        const Totals& b = byBudget[budget][labels[2]];
        const bool error = n.perceived <= b.perceived, confetti = n.confetti <= a.confetti, budgetKept = n.maxThreads <= budget;
        std::printf("    goals: perceived <= (b) %s (%.1f%%), confetti <= (a) %s (%.1f%%), threads <= N %s\n",
            error ? "met" : "MISSED", 100.0 * (n.perceived / b.perceived - 1.0), confetti ? "met" : "MISSED",
            100.0 * (n.confetti / a.confetti - 1.0), budgetKept ? "met" : "MISSED");
        allMet = allMet && error && confetti && budgetKept;
    }
    std::printf("\nCases where the new method beats (b) on perceived error: %d of %d; (a) on confetti: %d of %d\n",
        newWinsError, cases, newWinsConfetti, cases);
    std::printf("All goals %s\n", allMet ? "met" : "NOT met");
    return 0;
}
