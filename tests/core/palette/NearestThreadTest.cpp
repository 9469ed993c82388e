#include <random>

#include <gtest/gtest.h>

#include "core/palette/NearestThread.h"

namespace kanvo {
namespace {

// The plain search: every thread in table order, a later one wins only when strictly nearer.
int bruteForce(const ThreadTable& t, ColorValue c)
{
    int best = -1;
    int bestIndex = 0;
    for (int i = 1; i <= 452; ++i) {
        const ColorValue tc = t.colorOf(i);
        const int dr = static_cast<int>(c & 0xFF) - static_cast<int>(tc & 0xFF);
        const int dg = static_cast<int>((c >> 8) & 0xFF) - static_cast<int>((tc >> 8) & 0xFF);
        const int db = static_cast<int>((c >> 16) & 0xFF) - static_cast<int>((tc >> 16) & 0xFF);
        const int d = dr * dr + dg * dg + db * db;
        if (best < 0 || d < best) {
            best = d;
            bestIndex = i;
        }
    }
    return bestIndex;
}

int indexOfNumber(const ThreadTable& t, int number)
{
    for (int i = 1; i <= 452; ++i)
        if (t.dmc(i).cindex == number)
            return i;
    return 0;
}

TEST(NearestThread, EveryThreadColourFindsItsFirstThread)
{
    const ThreadTable& t = loadedThreadTable();
    const NearestThread search(t);
    for (int i = 1; i <= 452; ++i)
        EXPECT_EQ(search.nearest(t.colorOf(i)), bruteForce(t, t.colorOf(i))) << i;
    // The second thread of a shared colour is never chosen.
    EXPECT_EQ(search.nearest(0x3A969B), indexOfNumber(t, 731));
    EXPECT_EQ(search.nearest(t.colorOf(indexOfNumber(t, 3813))), indexOfNumber(t, 504));
    EXPECT_EQ(search.nearest(0), 34);
    EXPECT_EQ(search.nearest(0xFFFFFF), 452);
}

TEST(NearestThread, AgreesWithThePlainSearchOnRandomColours)
{
    const ThreadTable& t = loadedThreadTable();
    const NearestThread search(t);
    std::mt19937 rng(7);
    for (int i = 0; i < 100000; ++i) {
        const ColorValue c = rng() & 0xFFFFFFu;
        ASSERT_EQ(search.nearest(c), bruteForce(t, c)) << std::hex << c;
    }
}

TEST(NearestThread, AgreesOnColoursHalfwayBetweenThreads)
{
    // Midpoints of thread pairs whose channels differ by even amounts are exactly as far from
    // both threads: ties that must go to the lower index.
    const ThreadTable& t = loadedThreadTable();
    const NearestThread search(t);
    int ties = 0;
    for (int a = 1; a <= 452; ++a) {
        for (int b = a + 1; b <= 452; ++b) {
            const ColorValue ca = t.colorOf(a), cb = t.colorOf(b);
            const int r = static_cast<int>(ca & 0xFF) + static_cast<int>(cb & 0xFF);
            const int g = static_cast<int>((ca >> 8) & 0xFF) + static_cast<int>((cb >> 8) & 0xFF);
            const int bl = static_cast<int>((ca >> 16) & 0xFF) + static_cast<int>((cb >> 16) & 0xFF);
            if (r % 2 || g % 2 || bl % 2)
                continue;
            const ColorValue mid = makeColor(r / 2, g / 2, bl / 2);
            ASSERT_EQ(search.nearest(mid), bruteForce(t, mid)) << a << " " << b;
            ++ties;
        }
    }
    EXPECT_GT(ties, 1000);
}

TEST(NearestThread, WorksOnATableOfEqualColours)
{
    // Worst case for the tree: every thread the same colour except one.
    ThreadTable t;
    for (int i = 1; i <= 452; ++i)
        ASSERT_TRUE(t.set(i, ThreadColor{0x404040, i}));
    ASSERT_TRUE(t.set(300, ThreadColor{0x000000, 300}));
    const NearestThread search(t);
    EXPECT_EQ(search.nearest(0x404040), 1);
    EXPECT_EQ(search.nearest(0x050505), 300);
    EXPECT_EQ(search.nearest(0x202020), 1); // 3 * 32^2 to both: the lower index
    std::mt19937 rng(3);
    for (int i = 0; i < 2000; ++i) {
        const ColorValue c = rng() & 0xFFFFFFu;
        ASSERT_EQ(search.nearest(c), bruteForce(t, c));
    }
}

TEST(NearestThread, CachedSearchFollowsTableChanges)
{
    ThreadTable t = loadedThreadTable();
    EXPECT_EQ(NearestThread::forTable(t).nearest(0), 34);
    ASSERT_TRUE(t.set(1, ThreadColor{0, 150}));
    EXPECT_EQ(NearestThread::forTable(t).nearest(0), 1);
}

} // namespace
} // namespace kanvo
