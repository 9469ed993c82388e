#include "core/palette/ColorIndex.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "core/palette/NearestThread.h"
#include "core/palette/SymbolSet.h"

namespace kanvo {

namespace {

constexpr std::size_t kSide = ChartModel::kMatrixSide;

[[nodiscard]] std::size_t cell(int x, int y)
{
    return static_cast<std::size_t>(x) * kSide + static_cast<std::size_t>(y);
}

// Colour -> 1-based number (1..2047). Open addressing with at least four times as many slots
// as numbers are ever stored, so probes stay short; key and number share one 64-bit slot so
// that a hit costs one load.
class ColorPositions {
public:
    // Number of `color`, or 0 when it has not been added. The home slot and the next one are
    // read and chosen between without branches (the colour of a random stitch is hard to
    // predict); only a longer probe takes the loop.
    [[nodiscard]] int find(ColorValue color) const
    {
        const std::size_t slot = home(color);
        const std::uint64_t first = slots_[slot];
        const std::uint64_t second = slots_[(slot + 1) & kMask];
        const std::uint64_t wanted = static_cast<std::uint64_t>(color) << 32;
        const bool inFirst = (first & ~0xFFFFull) == wanted && (first & 0xFFFFu) != 0;
        const bool inSecond = (second & ~0xFFFFull) == wanted && (second & 0xFFFFu) != 0;
        const int number = inFirst ? static_cast<int>(first & 0xFFFFu)
                                   : (inSecond ? static_cast<int>(second & 0xFFFFu) : 0);
        if (number != 0 || (first & 0xFFFFu) == 0 || (second & 0xFFFFu) == 0)
            return number;
        for (std::size_t s = (slot + 2) & kMask;; s = (s + 1) & kMask) {
            const std::uint64_t entry = slots_[s];
            if ((entry & 0xFFFFu) == 0)
                return 0;
            if ((entry & ~0xFFFFull) == wanted)
                return static_cast<int>(entry & 0xFFFFu);
        }
    }
    void add(ColorValue color, int number)
    {
        std::size_t slot = home(color);
        while ((slots_[slot] & 0xFFFFu) != 0)
            slot = (slot + 1) & kMask;
        slots_[slot] = (static_cast<std::uint64_t>(color) << 32) | static_cast<std::uint64_t>(number);
    }

private:
    static constexpr std::size_t kSlots = 8192;
    static constexpr std::size_t kMask = kSlots - 1;
    [[nodiscard]] static std::size_t home(ColorValue color)
    {
        return static_cast<std::size_t>((color * 0x9E3779B1u) >> 19) & kMask;
    }
    std::array<std::uint64_t, kSlots> slots_{};
};

class Hooks {
public:
    explicit Hooks(const ColorIndexHooks& hooks) : hooks_(hooks) {}
    void stage(ColorIndexStage s) const
    {
        if (hooks_.stage)
            hooks_.stage(s);
    }
    void progress(int done, int total) const
    {
        if (hooks_.progress)
            hooks_.progress(done, total);
    }
    [[nodiscard]] bool stopped() const { return hooks_.stopRequested && hooks_.stopRequested(); }

private:
    const ColorIndexHooks& hooks_;
};

[[nodiscard]] bool validSize(const ChartModel& model)
{
    return model.gw >= 1 && model.gw <= ChartModel::kMaxSide && model.gh >= 1
        && model.gh <= ChartModel::kMaxSide;
}

void prepareColorIndex(ChartModel& model)
{
    model.colorIndex.resize(kSide * kSide, 0);
}

// Stitch counts per thread index, filled on the way by the colour index so that a full
// generation needs no separate counting pass.
using ThreadCounts = std::array<int, ChartModel::kThreadSlots>;

// The legend: threads in `order` (order of first stitch) with at least `rareThreshold` stitches.
void listThreads(ChartModel& model, std::span<const int> order, const ThreadCounts& counts,
    int rareThreshold, const ThreadTable& table)
{
    model.threadList.clear();
    for (const int t : order) {
        const int c = counts[static_cast<std::size_t>(t)];
        if (c < rareThreshold)
            continue;
        model.threadList.push_back(
            ThreadEntry{table.colorOf(t), t, threadName(table.dmc(t).cindex), c});
    }
    model.maxColor = static_cast<int>(model.threadList.size());
}

ColorIndexError buildColorIndex(const StitchMatrix& stitches, ChartModel& model, int mergeTol,
    const ThreadTable& table, const Hooks& hooks, ThreadCounts* threadCounts)
{
    model.chartReady = false;
    if (!validSize(model))
        return ColorIndexError::InvalidSize;
    prepareColorIndex(model);
    const int gw = model.gw;
    const int gh = model.gh;

    hooks.stage(ColorIndexStage::Indexing);
    hooks.progress(0, gw);

    // Both matrices are stored column by column, so the stitches are read in that order and
    // each colour gets a provisional number in order of discovery. The chart's numbering is the
    // order of first appearance row by row, which the smallest row-major key of every colour
    // gives afterwards. Neighbouring stitches usually share a colour, so the previous cell's
    // answer is tried before the hash.
    struct Found {
        ColorValue color = 0;
        int firstKey = std::numeric_limits<int>::max(); // y * 321 + x of its first stitch
        int count = 0;
    };
    std::vector<Found> found;
    found.reserve(ChartModel::kMaxColors + 1);
    found.emplace_back(); // provisional numbers start at 1
    ColorPositions ids;
    int* const index = model.colorIndex.data();
    bool tooMany = false;
    for (int x = 0; x < gw && !tooMany; ++x) {
        int* const column = index + cell(x, 0);
        ColorValue lastColor = 0;
        int lastId = 0;
        for (int y = 0; y < gh; ++y) {
            const ColorValue color = stitches.at(x, y);
            if (color != lastColor || lastId == 0) {
                int id = ids.find(color);
                if (id == 0) {
                    if (found.size() > static_cast<std::size_t>(ChartModel::kMaxColors)) {
                        tooMany = true;
                        break;
                    }
                    id = static_cast<int>(found.size());
                    found.push_back(Found{color});
                    ids.add(color, id);
                }
                lastColor = color;
                lastId = id;
            }
            Found& f = found[static_cast<std::size_t>(lastId)];
            ++f.count;
            const int key = y * static_cast<int>(kSide) + x;
            if (key < f.firstKey)
                f.firstKey = key;
            column[y] = lastId;
        }
        hooks.progress(x + 1, gw);
        if (!tooMany && hooks.stopped()) {
            model.colorList.clear();
            model.maxColor = 0;
            return ColorIndexError::Stopped;
        }
    }

    const std::size_t n = found.size() - 1;
    std::vector<int> byAppearance(n); // provisional numbers in order of first appearance
    for (std::size_t i = 0; i < n; ++i)
        byAppearance[i] = static_cast<int>(i + 1);
    std::sort(byAppearance.begin(), byAppearance.end(), [&](int a, int b) {
        return found[static_cast<std::size_t>(a)].firstKey < found[static_cast<std::size_t>(b)].firstKey;
    });
    model.colorList.resize(n);
    for (std::size_t p = 0; p < n; ++p)
        model.colorList[p] = static_cast<int>(found[static_cast<std::size_t>(byAppearance[p])].color);
    model.maxColor = static_cast<int>(n);
    if (tooMany)
        return ColorIndexError::TooManyColors;

    if (model.whichType.empty())
        model.whichType = "DMC";
    if (model.whichType != "DMC") {
        std::vector<int> positionOfId(n + 1, 0);
        for (std::size_t p = 0; p < n; ++p)
            positionOfId[static_cast<std::size_t>(byAppearance[p])] = static_cast<int>(p + 1);
        for (int x = 0; x < gw; ++x) {
            int* const column = index + cell(x, 0);
            for (int y = 0; y < gh; ++y)
                column[y] = positionOfId[static_cast<std::size_t>(column[y])];
        }
        model.colorCount = 0;
        return ColorIndexError::UnsupportedBrand;
    }

    // Nearest thread per distinct colour (not per stitch), then merging.
    const NearestThread& nearest = NearestThread::forTable(table);
    std::vector<int> threadOf(n);
    for (std::size_t p = 0; p < n; ++p)
        threadOf[p] = nearest.nearest(static_cast<ColorValue>(model.colorList[p]));
    mergeNearThreads(threadOf, mergeTol, table);

    std::array<bool, ChartModel::kThreadSlots> listed{};
    std::vector<int> distinct;
    distinct.reserve(n);
    for (const int t : threadOf) {
        if (!listed[static_cast<std::size_t>(t)]) {
            listed[static_cast<std::size_t>(t)] = true;
            distinct.push_back(t);
        }
    }

    std::vector<int> threadOfId(n + 1, 0);
    for (std::size_t p = 0; p < n; ++p)
        threadOfId[static_cast<std::size_t>(byAppearance[p])] = threadOf[p];
    if (threadCounts != nullptr) {
        threadCounts->fill(0);
        for (std::size_t id = 1; id <= n; ++id)
            (*threadCounts)[static_cast<std::size_t>(threadOfId[id])] += found[id].count;
    }

    hooks.stage(ColorIndexStage::Remapping);
    hooks.progress(0, gw);
    for (int x = 0; x < gw; ++x) {
        int* const column = index + cell(x, 0);
        for (int y = 0; y < gh; ++y)
            column[y] = threadOfId[static_cast<std::size_t>(column[y])];
        hooks.progress(x + 1, gw);
        if (hooks.stopped())
            return ColorIndexError::Stopped;
    }

    model.maxColor = static_cast<int>(distinct.size());
    model.colorCount = model.maxColor;
    model.colorList = std::move(distinct);
    return ColorIndexError::None;
}

} // namespace

std::string errorText(ColorIndexError error)
{
    switch (error) {
    case ColorIndexError::None:
        return {};
    case ColorIndexError::TooManyColors:
        return "    绣图颜色太多，请先点 效果预览 进行减色后再生成。。。 ";
    case ColorIndexError::Stopped:
        return "generation stopped";
    case ColorIndexError::InvalidSize:
        return "chart size must be 1 to 320 stitches in each direction";
    case ColorIndexError::UnsupportedBrand:
        return "only DMC threads have a colour table";
    }
    return {};
}

std::string errorCaption(ColorIndexError error)
{
    return error == ColorIndexError::TooManyColors ? "Quillex inc." : std::string{};
}

std::string_view stageText(ColorIndexStage stage)
{
    switch (stage) {
    case ColorIndexStage::Indexing:
    case ColorIndexStage::Remapping:
        return "正在创建颜色索引......";
    case ColorIndexStage::Counting:
        return "正在计算颜色数目等信息......";
    }
    return {};
}

ColorIndexError makeColorIndex(const StitchMatrix& stitches, ChartModel& model, int mergeTol,
    const ThreadTable& table, const ColorIndexHooks& hooks)
{
    return buildColorIndex(stitches, model, mergeTol, table, Hooks(hooks), nullptr);
}

void mergeNearThreads(std::span<int> threads, int tolerance, const ThreadTable& table)
{
    const std::size_t count = threads.size();
    if (tolerance < 0)
        return;
    if (tolerance == 0) {
        // Only identical table colours merge, and merging never changes an entry's colour:
        // every entry ends with the thread of the first entry of its colour.
        ColorPositions firstOfColor;
        for (std::size_t j = 0; j < count; ++j) {
            const ColorValue color = table.colorOf(threads[j]);
            const int first = firstOfColor.find(color);
            if (first == 0)
                firstOfColor.add(color, static_cast<int>(j + 1));
            else
                threads[j] = threads[static_cast<std::size_t>(first - 1)];
        }
        return;
    }
    // Channels of the current entries, kept in step with the entries; the inner loop has no
    // branches so that it runs on vector units.
    std::vector<std::int32_t> red(count), green(count), blue(count), thread(count);
    for (std::size_t i = 0; i < count; ++i) {
        const ColorValue c = table.colorOf(threads[i]);
        red[i] = redOf(c);
        green[i] = greenOf(c);
        blue[i] = blueOf(c);
        thread[i] = threads[i];
    }
    std::vector<std::int32_t> merged(count, 0);
    for (std::size_t i = 0; i + 1 < count; ++i) {
        if (merged[i] != 0)
            continue;
        const std::int32_t r = red[i], g = green[i], b = blue[i], t = thread[i];
        for (std::size_t j = i + 1; j < count; ++j) {
            const std::int32_t dr = red[j] - r, dg = green[j] - g, db = blue[j] - b;
            const std::int32_t near = (dr * dr + dg * dg + db * db <= tolerance) ? -1 : 0;
            red[j] = (r & near) | (red[j] & ~near);
            green[j] = (g & near) | (green[j] & ~near);
            blue[j] = (b & near) | (blue[j] & ~near);
            thread[j] = (t & near) | (thread[j] & ~near);
            merged[j] |= near;
        }
    }
    for (std::size_t i = 0; i < count; ++i)
        threads[i] = thread[i];
}

ColorIndexError sortColorIndex(ChartModel& model, int rareThreshold, const ThreadTable& table,
    const ColorIndexHooks& hookSet)
{
    const Hooks hooks(hookSet);
    model.chartReady = false;
    model.threadList.clear();
    hooks.stage(ColorIndexStage::Counting);
    hooks.progress(0, model.gw);
    if (model.whichType != "DMC") {
        model.maxColor = 0;
        return ColorIndexError::UnsupportedBrand;
    }
    if (!validSize(model) || model.colorIndex.size() < kSide * kSide)
        return ColorIndexError::InvalidSize;

    // One pass, column by column as the matrix is stored: the stitch count of every thread and
    // its first stitch in row-major order, which orders the legend.
    ThreadCounts counts{};
    std::array<int, ChartModel::kThreadSlots> firstKey{};
    firstKey.fill(std::numeric_limits<int>::max());
    const int* const index = model.colorIndex.data();
    for (int x = 0; x < model.gw; ++x) {
        const int* const column = index + cell(x, 0);
        for (int y = 0; y < model.gh; ++y) {
            const int t = column[y];
            if (!ThreadTable::isEntry(t))
                continue;
            ++counts[static_cast<std::size_t>(t)];
            const int key = y * static_cast<int>(kSide) + x;
            if (key < firstKey[static_cast<std::size_t>(t)])
                firstKey[static_cast<std::size_t>(t)] = key;
        }
        hooks.progress(x + 1, model.gw);
        if (hooks.stopped())
            return ColorIndexError::Stopped;
    }

    std::vector<int> order;
    for (int t = 1; t < ChartModel::kThreadSlots; ++t)
        if (counts[static_cast<std::size_t>(t)] > 0)
            order.push_back(t);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        return firstKey[static_cast<std::size_t>(a)] < firstKey[static_cast<std::size_t>(b)];
    });
    listThreads(model, order, counts, rareThreshold, table);
    return ColorIndexError::None;
}

void assignSymbols(ChartModel& model)
{
    model.chrIndex.assign(ChartModel::kThreadSlots, 0);
    const int n = std::min(model.colorCount, static_cast<int>(model.colorList.size()));
    for (int i = 1; i <= n; ++i) {
        const int t = model.colorList[static_cast<std::size_t>(i - 1)];
        if (ThreadTable::isEntry(t))
            model.chrIndex[static_cast<std::size_t>(t)] = i;
    }
}

ColorIndexError generateChartModel(const StitchMatrix& stitches, ChartModel& model,
    const ColorIndexSettings& settings, const ThreadTable& table, const ColorIndexHooks& hookSet)
{
    const Hooks hooks(hookSet);
    model.chartReady = false;
    model.xiuChr = loadxiuChr();
    model.chrIndex.assign(ChartModel::kThreadSlots, 0);
    model.threadList.clear();
    ThreadCounts counts{};
    const ColorIndexError error
        = buildColorIndex(stitches, model, settings.mergeTol, table, hooks, &counts);
    if (error == ColorIndexError::UnsupportedBrand)
        model.maxColor = 0; // nothing is listed for a brand without a thread table
    if (error != ColorIndexError::None)
        return error;
    // The colour list is already in order of each thread's first stitch.
    hooks.stage(ColorIndexStage::Counting);
    listThreads(model, model.colorList, counts, settings.rareThreshold, table);
    hooks.progress(model.gw, model.gw);
    if (hooks.stopped())
        return ColorIndexError::Stopped;
    assignSymbols(model);
    model.chartReady = true;
    return ColorIndexError::None;
}

std::string threadName(int number)
{
    std::string name = std::to_string(number);
    name.resize(8, ' ');
    return name;
}

} // namespace kanvo
