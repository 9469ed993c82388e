#include "core/colour/ThreadMatcher.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numeric>

#include "core/colour/Ciede2000.h"

namespace kanvo {

namespace {

std::vector<int> allThreads()
{
    std::vector<int> threads(ThreadTable::kThreads);
    std::iota(threads.begin(), threads.end(), 1);
    return threads;
}

} // namespace

ThreadMatcher::ThreadMatcher(const ThreadTable& table) : ThreadMatcher(table, allThreads()) {}

ThreadMatcher::ThreadMatcher(const ThreadTable& table, std::span<const int> threads)
{
    std::vector<int> sorted(threads.begin(), threads.end());
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    for (int t : sorted) {
        if (!ThreadTable::isThread(t))
            continue;
        const ColorValue c = table.colorOf(t);
        if (std::find(colors_.begin(), colors_.end(), c) != colors_.end())
            continue; // a later thread of the same colour: the lower index stands for both
        threads_.push_back(t);
        colors_.push_back(c);
        const Lab lab = ColourSpace::labOf(c);
        labs_.push_back(lab);
        lightness_.push_back(static_cast<float>(lab.L));
        greenRed_.push_back(static_cast<float>(lab.a));
        blueYellow_.push_back(static_cast<float>(lab.b));
        chroma_.push_back(static_cast<float>(std::hypot(lab.a, lab.b)));
    }
    // Whole chunks for the distance scan, padded with a colour far from every other.
    const std::size_t padded = (threads_.size() + kChunk - 1) / kChunk * kChunk;
    lightness_.resize(padded, 1.0e4f);
    greenRed_.resize(padded, 0.0f);
    blueYellow_.resize(padded, 0.0f);
    chroma_.resize(padded, 0.0f);
}

ThreadMatcher::ShortlistQuery::ShortlistQuery(const Lab& colour)
    : l(static_cast<float>(colour.L)), a(static_cast<float>(colour.a)), b(static_cast<float>(colour.b)),
      c(static_cast<float>(std::sqrt(colour.a * colour.a + colour.b * colour.b)))
{
    // CIE94-like weights: chroma and hue steps count less among saturated colours, as in
    // CIEDE2000, and lightness steps count less away from mid-grey.
    const float lFrom50 = (l - 50.0f) * (l - 50.0f);
    const float sL = 1.0f + 0.015f * lFrom50 / std::sqrt(20.0f + lFrom50);
    lWeight = 1.0f / (sL * sL);
}

namespace {

// The squared rough distance between a query (l, a, b, chroma c, lightness weight) and a thread.
[[gnu::always_inline]] inline float roughDistance(float l, float a, float b, float c, float lWeight, float threadL,
    float threadA, float threadB, float threadC)
{
    const float dl = threadL - l;
    const float da = threadA - a;
    const float db = threadB - b;
    const float dc = threadC - c;
    const float meanC = 0.5f * (threadC + c);
    const float sC = 1.0f + 0.045f * meanC;
    const float sH = 1.0f + 0.015f * meanC;
    const float dh2 = std::max(0.0f, da * da + db * db - dc * dc);
    return dl * dl * lWeight + dc * dc / (sC * sC) + dh2 / (sH * sH);
}

} // namespace

float ThreadMatcher::ShortlistQuery::distance(const ThreadMatcher& set, int slot) const
{
    const auto i = static_cast<std::size_t>(slot);
    return roughDistance(l, a, b, c, lWeight, set.lightness_[i], set.greenRed_[i], set.blueYellow_[i], set.chroma_[i]);
}

void ThreadMatcher::ShortlistQuery::distances(const ThreadMatcher& set, int first, std::array<float, kChunk>& out) const
{
    // The same as distance(), over a whole chunk, which the compiler vectorises; into a local
    // chunk first, which it knows no thread's colour shares.
    const auto from = static_cast<std::size_t>(first);
    const float* lightness = set.lightness_.data() + from;
    const float* greenRed = set.greenRed_.data() + from;
    const float* blueYellow = set.blueYellow_.data() + from;
    const float* chroma = set.chroma_.data() + from;
    const float ql = l, qa = a, qb = b, qc = c, weight = lWeight;
    std::array<float, kChunk> chunk;
    for (std::size_t k = 0; k < kChunk; ++k)
        chunk[k] = roughDistance(ql, qa, qb, qc, weight, lightness[k], greenRed[k], blueYellow[k], chroma[k]);
    out = chunk;
}

int ThreadMatcher::roughNearest(const Lab& colour) const
{
    const ShortlistQuery query(colour);
    int best = 0;
    float bestDistance = std::numeric_limits<float>::infinity();
    std::array<float, kChunk> chunk{};
    for (int first = 0; first < size(); first += kChunk) {
        query.distances(*this, first, chunk);
        for (int k = 0; k < kChunk && first + k < size(); ++k)
            if (chunk[static_cast<std::size_t>(k)] < bestDistance) {
                bestDistance = chunk[static_cast<std::size_t>(k)];
                best = first + k;
            }
    }
    return best;
}

double ThreadMatcher::roughDifference(const Lab& colour, int slot) const
{
    return std::sqrt(ShortlistQuery(colour).distance(*this, slot));
}

void ThreadMatcher::roughShortlist(const Lab& colour, int count, std::vector<int>& slots,
    std::vector<float>* distances) const
{
    slots.clear();
    const int n = size();
    count = std::min(count, n);
    if (count <= 0)
        return;
    // Insertion into a short sorted list: count is small next to the set.
    std::array<float, 64> best{};
    count = std::min(count, static_cast<int>(best.size()));
    const ShortlistQuery query(colour);
    std::array<float, kChunk> chunk{};
    for (int i = 0; i < n; ++i) {
        if (i % kChunk == 0)
            query.distances(*this, i, chunk);
        const float d = chunk[static_cast<std::size_t>(i % kChunk)];
        const int kept = static_cast<int>(slots.size());
        if (kept == count && d >= best[static_cast<std::size_t>(kept - 1)])
            continue;
        int at = kept == count ? kept - 1 : kept;
        if (kept < count)
            slots.push_back(0);
        while (at > 0 && best[static_cast<std::size_t>(at - 1)] > d) {
            best[static_cast<std::size_t>(at)] = best[static_cast<std::size_t>(at - 1)];
            slots[static_cast<std::size_t>(at)] = slots[static_cast<std::size_t>(at - 1)];
            --at;
        }
        best[static_cast<std::size_t>(at)] = d;
        slots[static_cast<std::size_t>(at)] = i;
    }
    if (distances)
        distances->assign(best.begin(), best.begin() + static_cast<std::ptrdiff_t>(slots.size()));
}

ThreadMatcher::Match ThreadMatcher::nearest(const Lab& colour) const
{
    thread_local std::vector<int> shortlist;
    thread_local std::vector<float> shortDistance;
    roughShortlist(colour, kShortlist, shortlist, &shortDistance);
    Match best{0, std::numeric_limits<double>::infinity()};
    for (std::size_t k = 0; k < shortlist.size(); ++k) {
        // The rough distance rarely exceeds CIEDE2000 by this factor: further threads lose.
        const double reach = kReach * best.difference;
        if (k >= kFewest && shortDistance[k] > reach * reach)
            break;
        const int slot = shortlist[k];
        const double d = Ciede2000::difference(colour, lab(slot));
        if (d < best.difference || (d == best.difference && slot < best.slot))
            best = {slot, d};
    }
    return best;
}

int ThreadMatcher::quickNearest(const Lab& colour) const
{
    thread_local std::vector<int> shortlist;
    thread_local std::vector<float> shortDistance;
    roughShortlist(colour, kQuickShortlist, shortlist, &shortDistance);
    if (shortlist.empty())
        return 0;
    // Only threads about as near as the first by the rough distance can be nearer by CIEDE2000.
    const float close = kQuickReach * kQuickReach * shortDistance[0];
    if (shortlist.size() == 1 || shortDistance[1] > close)
        return shortlist[0];
    Match best{0, std::numeric_limits<double>::infinity()};
    for (std::size_t k = 0; k < shortlist.size() && shortDistance[k] <= close; ++k) {
        const int slot = shortlist[k];
        const double d = Ciede2000::difference(colour, lab(slot));
        if (d < best.difference || (d == best.difference && slot < best.slot))
            best = {slot, d};
    }
    return best.slot;
}

ThreadMatcher::Match ThreadMatcher::nearestOfAll(const Lab& colour) const
{
    Match best{0, std::numeric_limits<double>::infinity()};
    for (int slot = 0; slot < size(); ++slot) {
        const double d = Ciede2000::difference(colour, lab(slot));
        if (d < best.difference)
            best = {slot, d};
    }
    return best;
}

} // namespace kanvo
