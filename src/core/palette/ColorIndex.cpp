#include "core/palette/ColorIndex.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "core/common/Translation.h"
#include "core/palette/NearestThread.h"
#include "core/palette/SymbolSet.h"
#include "core/stitch/LayerTally.h"

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

// The threads that part stitches, back stitches, knots or beads use and the full stitches did
// not list (none of them, or fewer than the rare-thread threshold): their lines and knots need
// a key entry however few crosses they have.
void listLayerThreads(ChartModel& model, const ThreadCounts& counts, int rareThreshold, const ThreadTable& table)
{
    if (model.layers.empty())
        return;
    const LayerTally tally(model.layers);
    for (const int t : tally.threads()) {
        const int c = counts[static_cast<std::size_t>(t)];
        if (!ThreadTable::isEntry(t) || (c > 0 && c >= rareThreshold))
            continue;
        model.threadList.push_back(ThreadEntry{table.colorOf(t), t, threadName(table.dmc(t).cindex), c});
    }
    model.maxColor = static_cast<int>(model.threadList.size());
}

// The distinct colours of a chart while it is indexed: colour -> a value chosen when the colour
// is first met (its thread, or its slot), in an open-addressing table small enough to stay in
// the first-level cache next to the stitches streaming past. Looking up a colour that sits at
// its home slot costs one multiply, two loads and one compare.
class ColorSlots {
public:
    // Home slots: over 8 per colour, so a colour nearly always lies at its home slot. Probing
    // runs on past the last home slot instead of wrapping, into room for every colour.
    static constexpr int kHomeBits = 12;
    static constexpr std::size_t kHomeSlots = std::size_t{1} << kHomeBits;
    static constexpr std::size_t kSlots = kHomeSlots + ChartModel::kMaxColors + 1;
    static constexpr std::size_t kFull = kSlots;

    [[nodiscard]] static constexpr std::size_t home(ColorValue color)
    {
        return static_cast<std::size_t>((color * 0x9E3779B1u) >> (32 - kHomeBits));
    }

    ColorSlots()
    {
        // An empty slot holds a key whose home slot lies elsewhere, so a colour found at its own
        // home slot is known to be stored there without a used flag.
        static_assert(home(kSpareKey) != home(kOtherSpareKey));
        keys_.fill(kSpareKey);
        keys_[home(kSpareKey)] = kOtherSpareKey;
    }

    [[nodiscard]] bool isAt(ColorValue color, std::size_t slot) const { return keys_[slot] == color; }

    // The slot of `color`, probing on from its home slot; for a new colour a free slot, or
    // kFull when the table already holds ChartModel::kMaxColors colours. `isNew` tells which.
    [[nodiscard]] std::size_t find(ColorValue color, bool& isNew) const
    {
        for (std::size_t slot = home(color);; ++slot) {
            if (!used_[slot]) {
                isNew = true;
                return count_ == static_cast<std::size_t>(ChartModel::kMaxColors) ? kFull : slot;
            }
            if (keys_[slot] == color) {
                isNew = false;
                return slot;
            }
        }
    }
    void add(std::size_t slot, ColorValue color, int value)
    {
        used_[slot] = true;
        keys_[slot] = color;
        values_[slot] = value;
        usedSlots_[count_] = static_cast<std::uint16_t>(slot);
        ++count_;
    }

    [[nodiscard]] std::size_t count() const { return count_; }
    // The slots in use, in the order their colours were added.
    [[nodiscard]] std::span<const std::uint16_t> usedSlots() const { return {usedSlots_.data(), count_}; }
    [[nodiscard]] ColorValue colorAt(std::size_t slot) const { return keys_[slot]; }
    [[nodiscard]] int valueAt(std::size_t slot) const { return values_[slot]; }

private:
    static constexpr ColorValue kSpareKey = 0xFFFFFFFFu;
    static constexpr ColorValue kOtherSpareKey = 0xFFFFFFFEu;

    std::array<ColorValue, kSlots> keys_; // filled by the constructor
    std::array<std::int32_t, kSlots> values_; // read only where used_ is set
    std::array<std::uint16_t, ChartModel::kMaxColors> usedSlots_;
    std::array<bool, kSlots> used_{};
    std::size_t count_ = 0;
};

// Stitches per slot of ColorSlots.
using SlotCounts = std::array<int, ColorSlots::kSlots>;

// Gives every stitch the value of its colour: for a chart of DMC threads the colour's nearest
// thread, for another brand the colour's slot; counts the stitches of every slot on the way
// (by slot rather than by value: the slot is known before the value has been read). False when
// a 501st colour turned up; stopped is set when the stop test ended the work.
template <bool kGiveThreads>
[[nodiscard]] bool indexStitches(const StitchMatrix& stitches, ChartModel& model, ColorSlots& slots,
    const NearestThread* nearest, SlotCounts& counts, const Hooks& hooks, bool& stopped)
{
    const int gw = model.gw;
    const int gh = model.gh;
    int* const index = model.colorIndex.data();
    for (int x = 0; x < gw; ++x) {
        int* const column = index + cell(x, 0);
        const ColorValue* const colors = stitches.column(x).data();
        // Padding past the picture's right and bottom edges stays unstitched, and so does cloth.
        const int rows = x < stitches.pictureWidth() ? std::min(gh, stitches.pictureHeight()) : 0;
        std::fill(column + rows, column + std::max(rows, gh), ChartModel::kNoStitch);
        const std::uint8_t* const cloth = stitches.hasCloth() ? stitches.clothColumn(x).data() : nullptr;
        for (int y = 0; y < rows; ++y) {
            if (cloth != nullptr && cloth[y] != 0) {
                column[y] = ChartModel::kNoStitch;
                continue;
            }
            const ColorValue color = colors[y];
            std::size_t slot = ColorSlots::home(color);
            if (!slots.isAt(color, slot)) {
                bool isNew = false;
                slot = slots.find(color, isNew);
                if (slot == ColorSlots::kFull)
                    return false;
                if (isNew)
                    slots.add(slot, color, kGiveThreads ? nearest->nearest(color) : static_cast<int>(slot));
            }
            column[y] = slots.valueAt(slot);
            ++counts[slot];
        }
        hooks.progress(x + 1, gw);
        if (hooks.stopped()) {
            stopped = true;
            return true;
        }
    }
    return true;
}

// The distinct values of the stitches of the picture's cells that are not cloth (of `count` in all) in order of
// first appearance, row by row from the top, each row from the left. Usually every value has
// been met within a few rows.
template <std::size_t kValues>
std::vector<int> valuesByAppearance(const ChartModel& model, const StitchMatrix& stitches, std::size_t count)
{
    std::vector<int> order;
    order.reserve(count);
    std::array<bool, kValues> met{};
    const int* const index = model.colorIndex.data();
    const int columns = std::min(model.gw, stitches.pictureWidth());
    const int rows = std::min(model.gh, stitches.pictureHeight());
    for (int y = 0; y < rows && order.size() < count; ++y) {
        for (int x = 0; x < columns; ++x) {
            if (!stitches.stitched(x, y))
                continue;
            const int value = index[cell(x, y)];
            if (!met[static_cast<std::size_t>(value)]) {
                met[static_cast<std::size_t>(value)] = true;
                order.push_back(value);
                if (order.size() == count)
                    break;
            }
        }
    }
    return order;
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
    const bool dmc = model.whichType.empty() || model.whichType == "DMC";

    hooks.stage(ColorIndexStage::Indexing);
    hooks.progress(0, gw);

    // Both matrices are stored column by column, so the stitches are read in that order. A
    // colour's nearest thread does not depend on the other colours, so for DMC threads every
    // stitch receives its thread at once and only merging may change it afterwards.
    ColorSlots slots;
    SlotCounts slotCounts{};
    const NearestThread* const nearest = dmc ? &NearestThread::forTable(table) : nullptr;
    bool stopped = false;
    const bool fits = dmc ? indexStitches<true>(stitches, model, slots, nearest, slotCounts, hooks, stopped)
                          : indexStitches<false>(stitches, model, slots, nullptr, slotCounts, hooks, stopped);
    if (!fits || stopped) {
        model.colorList.clear();
        model.maxColor = 0;
        return fits ? ColorIndexError::Stopped : ColorIndexError::TooManyColors;
    }
    if (model.whichType.empty())
        model.whichType = "DMC";
    int* const index = model.colorIndex.data();

    if (!dmc) {
        // The colours in order of first appearance, and every stitch its colour's position.
        const std::vector<int> order = valuesByAppearance<ColorSlots::kSlots>(model, stitches, slots.count());
        std::array<int, ColorSlots::kSlots> positionOfSlot{};
        model.colorList.resize(order.size());
        for (std::size_t p = 0; p < order.size(); ++p) {
            const auto slot = static_cast<std::size_t>(order[p]);
            positionOfSlot[slot] = static_cast<int>(p + 1);
            model.colorList[p] = static_cast<int>(slots.colorAt(slot));
        }
        for (int x = 0; x < std::min(gw, stitches.pictureWidth()); ++x) {
            int* const column = index + cell(x, 0);
            for (int y = 0; y < std::min(gh, stitches.pictureHeight()); ++y)
                if (!stitches.isCloth(x, y))
                    column[y] = positionOfSlot[static_cast<std::size_t>(column[y])];
        }
        model.maxColor = static_cast<int>(order.size());
        model.colorCount = 0;
        return ColorIndexError::UnsupportedBrand;
    }

    // The original merges the threads of all distinct colours, in order of the colours' first
    // appearance. All colours of one thread come out alike there: the first of them either
    // represents the later ones (and takes them at distance 0) or is taken, together with the
    // later ones, which every earlier representative sees with the same thread. Merging the
    // distinct threads in order of first appearance therefore gives each thread the result all
    // of its colours get, and the stitches of one thread move together.
    ThreadCounts counts{};
    for (const std::size_t slot : slots.usedSlots())
        counts[static_cast<std::size_t>(slots.valueAt(slot))] += slotCounts[slot];
    std::size_t threadsMet = 0;
    for (const int c : counts)
        threadsMet += c > 0 ? 1 : 0;
    const std::vector<int> threads = valuesByAppearance<ChartModel::kThreadSlots>(model, stitches, threadsMet);
    std::vector<int> merged = threads;
    mergeNearThreads(merged, mergeTol, table);

    std::array<int, ChartModel::kThreadSlots> mergedOf{};
    bool changed = false;
    for (std::size_t i = 0; i < threads.size(); ++i) {
        mergedOf[static_cast<std::size_t>(threads[i])] = merged[i];
        changed = changed || merged[i] != threads[i];
    }
    std::array<bool, ChartModel::kThreadSlots> listed{};
    std::vector<int> distinct;
    distinct.reserve(merged.size());
    for (const int t : merged) {
        if (!listed[static_cast<std::size_t>(t)]) {
            listed[static_cast<std::size_t>(t)] = true;
            distinct.push_back(t);
        }
    }

    hooks.stage(ColorIndexStage::Remapping);
    hooks.progress(0, gw);
    if (changed) {
        ThreadCounts mergedCounts{};
        for (const int t : threads)
            mergedCounts[static_cast<std::size_t>(mergedOf[static_cast<std::size_t>(t)])]
                += counts[static_cast<std::size_t>(t)];
        counts = mergedCounts;
    }
    // When nothing merged every stitch already holds its thread, and the pass only reports.
    for (int x = 0; x < gw; ++x) {
        if (changed) {
            int* const column = index + cell(x, 0);
            for (int y = 0; y < gh; ++y)
                column[y] = mergedOf[static_cast<std::size_t>(column[y])];
        }
        hooks.progress(x + 1, gw);
        if (hooks.stopped())
            return ColorIndexError::Stopped;
    }
    if (threadCounts != nullptr)
        *threadCounts = counts;

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
        return translate("ColorIndex", "    绣图颜色太多，请先点 效果预览 进行减色后再生成。。。 ");
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

std::string stageText(ColorIndexStage stage)
{
    switch (stage) {
    case ColorIndexStage::Indexing:
    case ColorIndexStage::Remapping:
        return translate("ColorIndex", "正在创建颜色索引......");
    case ColorIndexStage::Counting:
        return translate("ColorIndex", "正在计算颜色数目等信息......");
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
    listLayerThreads(model, counts, rareThreshold, table);
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

void keepSymbols(ChartModel& model)
{
    model.chrIndex.resize(ChartModel::kThreadSlots, 0);
    std::vector<int> position(ChartModel::kThreadSlots, 0);
    std::vector<bool> taken(ChartModel::kThreadSlots + 1, false);
    std::vector<int> threads;
    for (const int t : model.colorList) {
        if (!ThreadTable::isEntry(t) || std::find(threads.begin(), threads.end(), t) != threads.end())
            continue;
        threads.push_back(t);
        const int p = model.chrIndex[static_cast<std::size_t>(t)];
        if (p >= 1 && p <= ChartModel::kThreadSlots && !taken[static_cast<std::size_t>(p)]) {
            taken[static_cast<std::size_t>(p)] = true;
            position[static_cast<std::size_t>(t)] = p;
        }
    }
    int next = 1;
    for (const int t : threads) {
        if (position[static_cast<std::size_t>(t)] != 0)
            continue;
        while (taken[static_cast<std::size_t>(next)])
            ++next;
        taken[static_cast<std::size_t>(next)] = true;
        position[static_cast<std::size_t>(t)] = next;
    }
    std::stable_sort(threads.begin(), threads.end(),
        [&](int a, int b) { return position[static_cast<std::size_t>(a)] < position[static_cast<std::size_t>(b)]; });
    model.colorList = std::move(threads);
    model.chrIndex = std::move(position);
}

ColorIndexError generateChartModel(const StitchMatrix& stitches, ChartModel& model,
    const ColorIndexSettings& settings, const ThreadTable& table, const ColorIndexHooks& hookSet)
{
    const Hooks hooks(hookSet);
    model.chartReady = false;
    static const std::vector<std::string> symbols = loadxiuChr();
    model.xiuChr = symbols;
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
