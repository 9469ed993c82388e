#include "core/reduce/ThreadPaletteChooser.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "core/colour/Ciede2000.h"

namespace kanvo {

namespace {

constexpr std::uint32_t kSeed = 20050101u;
constexpr int kLloydRounds = 12;
constexpr int kSwapCandidates = 8;
constexpr int kSearchRounds = 3;
constexpr int kShortlist = 5;

double squaredDistance(const Lab& x, const Lab& y)
{
    const double dl = x.L - y.L;
    const double da = x.a - y.a;
    const double db = x.b - y.b;
    return dl * dl + da * da + db * db;
}

// Beyond this plain Lab distance a thread cannot beat a CIEDE2000 difference of `difference`
// in practice: CIEDE2000 shrinks chroma and lightness steps and rarely exceeds plain distance.
double reach(double difference) { return 2.0 * difference + 3.0; }

} // namespace

ThreadPaletteChooser::ThreadPaletteChooser(std::span<const ColourSamples::Sample> samples, const ThreadMatcher& table)
    : samples_(samples), table_(table)
{
}

std::vector<int> ThreadPaletteChooser::choose(int budget)
{
    chosen_.clear();
    if (samples_.empty() || table_.size() == 0)
        return {};
    if (samples_.size() <= static_cast<std::size_t>(budget)) {
        std::vector<Lab> centres;
        for (const auto& s : samples_)
            centres.push_back(s.lab);
        snapToThreads(centres, budget);
    } else {
        std::vector<Lab> centres = seedCentres(budget);
        refineCentres(centres);
        snapToThreads(centres, budget);
        assignAll();
        for (int round = 0; round < kSearchRounds; ++round) {
            bool improved = false;
            for (int slot = 0; slot < static_cast<int>(chosen_.size()); ++slot)
                improved = improveSlot(slot) || improved;
            if (!improved)
                break;
        }
    }
    std::vector<int> threads;
    for (int slot : chosen_)
        threads.push_back(table_.thread(slot));
    return threads;
}

// k-means++: each further centre is drawn with odds in proportion to weight times squared
// distance to the nearest centre so far. The generator's raw output keeps the draw the same on
// every standard library.
std::vector<Lab> ThreadPaletteChooser::seedCentres(int count)
{
    std::mt19937 random(kSeed);
    const auto draw = [&](const std::vector<double>& odds) {
        double total = 0;
        for (double o : odds)
            total += o;
        double at = total * (static_cast<double>(random()) / 4294967296.0);
        for (std::size_t i = 0; i < odds.size(); ++i) {
            at -= odds[i];
            if (at < 0)
                return i;
        }
        return odds.size() - 1;
    };
    std::vector<double> nearest(samples_.size(), std::numeric_limits<double>::infinity());
    std::vector<double> odds(samples_.size());
    for (std::size_t i = 0; i < samples_.size(); ++i)
        odds[i] = samples_[i].weight;
    std::vector<Lab> centres;
    while (static_cast<int>(centres.size()) < count) {
        const Lab centre = samples_[draw(odds)].lab;
        centres.push_back(centre);
        double total = 0;
        for (std::size_t i = 0; i < samples_.size(); ++i) {
            nearest[i] = std::min(nearest[i], squaredDistance(samples_[i].lab, centre));
            odds[i] = samples_[i].weight * nearest[i];
            total += odds[i];
        }
        if (total <= 0)
            break;
    }
    return centres;
}

void ThreadPaletteChooser::refineCentres(std::vector<Lab>& centres) const
{
    std::vector<int> owner(samples_.size(), -1);
    struct Sum {
        double L = 0, a = 0, b = 0, weight = 0;
    };
    std::vector<Sum> sums(centres.size());
    for (int round = 0; round < kLloydRounds; ++round) {
        bool moved = false;
        std::fill(sums.begin(), sums.end(), Sum{});
        for (std::size_t i = 0; i < samples_.size(); ++i) {
            int best = 0;
            double bestDistance = std::numeric_limits<double>::infinity();
            for (std::size_t c = 0; c < centres.size(); ++c) {
                const double d = squaredDistance(samples_[i].lab, centres[c]);
                if (d < bestDistance) {
                    bestDistance = d;
                    best = static_cast<int>(c);
                }
            }
            moved = moved || owner[i] != best;
            owner[i] = best;
            Sum& s = sums[static_cast<std::size_t>(best)];
            const double w = samples_[i].weight;
            s.L += w * samples_[i].lab.L;
            s.a += w * samples_[i].lab.a;
            s.b += w * samples_[i].lab.b;
            s.weight += w;
        }
        if (!moved)
            break;
        for (std::size_t c = 0; c < centres.size(); ++c)
            if (sums[c].weight > 0)
                centres[c] = {sums[c].L / sums[c].weight, sums[c].a / sums[c].weight, sums[c].b / sums[c].weight};
    }
}

// Each centre takes its nearest thread; when two centres share one, the free places go to the
// threads nearest to the samples that are worst served.
void ThreadPaletteChooser::snapToThreads(const std::vector<Lab>& centres, int budget)
{
    const auto add = [&](int tableSlot) {
        if (std::find(chosen_.begin(), chosen_.end(), tableSlot) != chosen_.end())
            return false;
        chosen_.push_back(tableSlot);
        chosenLab_.push_back(table_.lab(tableSlot));
        return true;
    };
    for (const Lab& centre : centres)
        if (static_cast<int>(chosen_.size()) < budget)
            add(table_.nearest(centre).slot);
    if (static_cast<int>(chosen_.size()) >= budget)
        return;
    assignAll();
    std::vector<std::size_t> order(samples_.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    const auto error = [&](std::size_t i) { return samples_[i].weight * assignment_[i].firstDifference; };
    std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) { return error(x) > error(y); });
    for (std::size_t i : order) {
        if (static_cast<int>(chosen_.size()) >= budget || error(i) <= 0)
            break;
        add(table_.nearest(samples_[i].lab).slot);
    }
}

void ThreadPaletteChooser::assignAll()
{
    assignment_.resize(samples_.size());
    for (std::size_t i = 0; i < samples_.size(); ++i)
        assign(i);
}

// The two nearest chosen threads by CIEDE2000 among the nearest few by plain Lab distance.
void ThreadPaletteChooser::assign(std::size_t sample)
{
    const Lab& lab = samples_[sample].lab;
    std::array<std::pair<double, int>, kShortlist> near{};
    int kept = 0;
    for (int slot = 0; slot < static_cast<int>(chosenLab_.size()); ++slot) {
        const double d = squaredDistance(lab, chosenLab_[static_cast<std::size_t>(slot)]);
        if (kept == kShortlist && d >= near[kShortlist - 1].first)
            continue;
        int at = kept < kShortlist ? kept++ : kShortlist - 1;
        while (at > 0 && near[static_cast<std::size_t>(at - 1)].first > d) {
            near[static_cast<std::size_t>(at)] = near[static_cast<std::size_t>(at - 1)];
            --at;
        }
        near[static_cast<std::size_t>(at)] = {d, slot};
    }
    Assignment a{0, -1, std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity()};
    for (int k = 0; k < kept; ++k) {
        const int slot = near[static_cast<std::size_t>(k)].second;
        a.offer(slot, Ciede2000::difference(lab, chosenLab_[static_cast<std::size_t>(slot)]));
    }
    if (a.second < 0)
        a.secondDifference = a.firstDifference;
    assignment_[sample] = a;
}

// Change of the total error when chosen thread `slot` is replaced by a thread of colour `thread`.
double ThreadPaletteChooser::swapChange(int slot, const Lab& thread) const
{
    double change = 0;
    for (std::size_t i = 0; i < samples_.size(); ++i) {
        const Assignment& a = assignment_[i];
        const double kept = a.first == slot ? a.secondDifference : a.firstDifference;
        double after = kept;
        const double limit = reach(kept);
        if (squaredDistance(samples_[i].lab, thread) < limit * limit)
            after = std::min(kept, Ciede2000::difference(samples_[i].lab, thread));
        change += samples_[i].weight * (after - a.firstDifference);
    }
    return change;
}

void ThreadPaletteChooser::applySwap(int slot, int tableSlot)
{
    chosen_[static_cast<std::size_t>(slot)] = tableSlot;
    const Lab& lab = table_.lab(tableSlot);
    chosenLab_[static_cast<std::size_t>(slot)] = lab;
    for (std::size_t i = 0; i < samples_.size(); ++i) {
        Assignment& a = assignment_[i];
        if (a.first == slot || a.second == slot) {
            assign(i);
            continue;
        }
        const double limit = reach(a.secondDifference);
        if (squaredDistance(samples_[i].lab, lab) >= limit * limit)
            continue;
        a.offer(slot, Ciede2000::difference(samples_[i].lab, lab));
    }
}

// Tries the threads nearest to the mean colour of the samples this slot serves; keeps the best
// swap that lowers the total error.
bool ThreadPaletteChooser::improveSlot(int slot)
{
    double L = 0, a = 0, b = 0, weight = 0;
    for (std::size_t i = 0; i < samples_.size(); ++i) {
        if (assignment_[i].first != slot)
            continue;
        const double w = samples_[i].weight;
        L += w * samples_[i].lab.L;
        a += w * samples_[i].lab.a;
        b += w * samples_[i].lab.b;
        weight += w;
    }
    if (weight > 0)
        table_.roughShortlist({L / weight, a / weight, b / weight}, kSwapCandidates, scratch_);
    else
        table_.roughShortlist(chosenLab_[static_cast<std::size_t>(slot)], kSwapCandidates, scratch_);
    double bestChange = -1e-9;
    int bestCandidate = -1;
    for (int candidate : scratch_) {
        if (std::find(chosen_.begin(), chosen_.end(), candidate) != chosen_.end())
            continue;
        const double change = swapChange(slot, table_.lab(candidate));
        if (change < bestChange) {
            bestChange = change;
            bestCandidate = candidate;
        }
    }
    if (bestCandidate < 0)
        return false;
    applySwap(slot, bestCandidate);
    return true;
}

} // namespace kanvo
