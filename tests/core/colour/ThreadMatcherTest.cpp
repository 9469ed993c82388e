#include <random>
#include <set>

#include <gtest/gtest.h>

#include "core/colour/Ciede2000.h"
#include "core/colour/ThreadMatcher.h"

namespace kanvo {
namespace {

// Plain reference: the smallest CIEDE2000 over the given threads, ties to the lowest index.
double referenceDifference(const ThreadTable& table, const std::vector<int>& threads, const Lab& colour)
{
    double best = 1e9;
    for (int t : threads)
        best = std::min(best, Ciede2000::difference(colour, ColourSpace::labOf(table.colorOf(t))));
    return best;
}

// Of equal table colours, the lowest thread index, by a plain scan.
int lowestThreadOfColour(const ThreadTable& table, ColorValue colour)
{
    for (int t = 1; t <= ThreadTable::kThreads; ++t)
        if (table.colorOf(t) == colour)
            return t;
    return 0;
}

TEST(ThreadMatcherTest, ShortlistSearchAgreesWithTheFullSearch)
{
    const ThreadTable& table = loadedThreadTable();
    std::vector<int> all;
    for (int t = 1; t <= ThreadTable::kThreads; ++t)
        all.push_back(t);
    const ThreadMatcher matcher(table);
    std::mt19937 random(17);
    const int kColours = 5000;
    int missed = 0, quickMissed = 0;
    double quickWorst = 0;
    for (int i = 0; i < kColours; ++i) {
        const ColorValue c = random() & 0xFFFFFFu;
        const Lab lab = ColourSpace::labOf(c);
        const ThreadMatcher::Match fast = matcher.nearest(lab);
        const double reference = referenceDifference(table, all, lab);
        ASSERT_NEAR(fast.difference, Ciede2000::difference(lab, matcher.lab(fast.slot)), 1e-12);
        ASSERT_EQ(matcher.nearestOfAll(lab).difference, reference);
        // Colours a picture can hold near some thread are always matched exactly; far from all
        // threads a rare miss costs little.
        if (reference < 8.0) {
            ASSERT_EQ(fast.difference, reference) << std::hex << c;
        }
        ASSERT_LE(fast.difference, reference * 1.1) << std::hex << c;
        missed += fast.difference > reference ? 1 : 0;
        const double quick = Ciede2000::difference(lab, matcher.lab(matcher.quickNearest(lab)));
        quickMissed += quick > reference ? 1 : 0;
        quickWorst = std::max(quickWorst, quick / reference - 1.0);
    }
    EXPECT_LE(missed, kColours / 200);
    EXPECT_LE(quickMissed, kColours / 25);
    EXPECT_LE(quickWorst, 0.6);
}

TEST(ThreadMatcherTest, EachTableColourFindsItsLowestThread)
{
    ThreadTable table = loadedThreadTable();
    // One more pair of equal colours: threads 7 and 300.
    table.set(300, {static_cast<std::int32_t>(table.colorOf(7)), 9999});
    std::set<ColorValue> colours;
    for (int t = 1; t <= ThreadTable::kThreads; ++t)
        colours.insert(table.colorOf(t));
    const ThreadMatcher matcher(table);
    EXPECT_EQ(matcher.size(), static_cast<int>(colours.size()));
    for (int t = 1; t <= ThreadTable::kThreads; ++t) {
        const ThreadMatcher::Match m = matcher.nearest(ColourSpace::labOf(table.colorOf(t)));
        EXPECT_EQ(m.difference, 0.0);
        EXPECT_EQ(matcher.thread(m.slot), lowestThreadOfColour(table, table.colorOf(t))) << t;
    }
}

TEST(ThreadMatcherTest, SubsetSearchStaysInsideTheSubset)
{
    const ThreadTable& table = loadedThreadTable();
    const std::vector<int> subset = {452, 3, 120, 3, 0, 600, 45};
    const ThreadMatcher matcher(table, subset);
    ASSERT_EQ(matcher.size(), 4);
    EXPECT_EQ(matcher.thread(0), 3);
    EXPECT_EQ(matcher.thread(3), 452);
    std::mt19937 random(5);
    for (int i = 0; i < 500; ++i) {
        const Lab lab = ColourSpace::labOf(random() & 0xFFFFFFu);
        EXPECT_EQ(matcher.nearest(lab).difference, referenceDifference(table, {3, 45, 120, 452}, lab));
    }
}

} // namespace
} // namespace kanvo
