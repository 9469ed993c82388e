#include "LiteralColorIndex.h"

#include "core/common/Color.h"

namespace kanvo::literal {

namespace {

int& ci(LiteralModel& m, int x, int y)
{
    return m.colorIndex[static_cast<std::size_t>(y) * 321 + static_cast<std::size_t>(x)];
}

std::string fixedName(int number)
{
    std::string s = std::to_string(number);
    s.resize(8, ' ');
    return s;
}

void yieldEvents(const LiteralHooks& hooks)
{
    if (hooks.yieldEvents)
        hooks.yieldEvents();
}

void progress(const LiteralHooks& hooks, int done, int total)
{
    if (hooks.progress)
        hooks.progress(done, total);
}

bool running(const LiteralHooks& hooks)
{
    return !hooks.running || hooks.running();
}

} // namespace

bool makeColorIndex(const StitchMatrix& stitches, int gw, int gh, int mergeTol,
    const ThreadTable& table, LiteralModel& model, const LiteralHooks& hooks)
{
    std::vector<int>& colorList = model.colorList;
    for (int i = 1; i <= 500; ++i)
        colorList[static_cast<std::size_t>(i)] = 0xFFFFFF;
    progress(hooks, 0, gh);

    colorList[1] = static_cast<int>(stitches.at(0, 0));
    int n = 1;
    for (int y = 0; y <= gh - 1; ++y) {
        for (int x = 0; x <= gw - 1; ++x) {
            yieldEvents(hooks);
            const int c = static_cast<int>(stitches.at(x, y));
            bool found = false;
            for (int k = 1; k <= n; ++k) {
                if (colorList[static_cast<std::size_t>(k)] == c) {
                    ci(model, x, y) = k;
                    found = true;
                    break;
                }
            }
            if (!found) {
                n = n + 1;
                if (n > 500)
                    return false;
                colorList[static_cast<std::size_t>(n)] = c;
                ci(model, x, y) = n;
            }
            if (!running(hooks))
                return false;
        }
        progress(hooks, y + 1, gh);
    }
    model.maxColor = n;
    if (model.whichType.empty())
        model.whichType = "DMC";
    if (model.whichType != "DMC")
        return true;

    for (int p = 1; p <= model.maxColor; ++p) {
        const ColorValue c = static_cast<ColorValue>(colorList[static_cast<std::size_t>(p)]);
        int best = colorDistance(c, table.colorOf(1));
        int bestIndex = 1;
        for (int t = 2; t <= 452; ++t) {
            const int d = colorDistance(c, table.colorOf(t));
            if (d < best) {
                best = d;
                bestIndex = t;
            }
        }
        colorList[static_cast<std::size_t>(p)] = bestIndex;
    }

    mergeNearThreads(colorList, model.maxColor, mergeTol, table);

    std::vector<int> newList(501, 0);
    newList[1] = colorList[1];
    int k = 1;
    for (int i = 1; i <= model.maxColor; ++i) {
        bool held = false;
        for (int j = 1; j <= k; ++j) {
            if (newList[static_cast<std::size_t>(j)] == colorList[static_cast<std::size_t>(i)]) {
                held = true;
                break;
            }
        }
        if (!held) {
            k = k + 1;
            newList[static_cast<std::size_t>(k)] = colorList[static_cast<std::size_t>(i)];
        }
    }

    progress(hooks, 0, gh);
    for (int y = 0; y <= gh - 1; ++y) {
        for (int x = 0; x <= gw - 1; ++x)
            ci(model, x, y) = colorList[static_cast<std::size_t>(ci(model, x, y))];
        yieldEvents(hooks);
        progress(hooks, y + 1, gh);
    }

    model.maxColor = k;
    model.colorCount = k;
    for (int i = 1; i <= k; ++i)
        colorList[static_cast<std::size_t>(i)] = newList[static_cast<std::size_t>(i)];
    return true;
}

void mergeNearThreads(std::vector<int>& list, int count, int tolerance, const ThreadTable& table)
{
    std::vector<bool> merged(501, false);
    for (int i = 1; i <= count - 1; ++i) {
        if (!merged[static_cast<std::size_t>(i)]) {
            for (int j = i + 1; j <= count; ++j) {
                const int d = colorDistance(table.colorOf(list[static_cast<std::size_t>(i)]),
                    table.colorOf(list[static_cast<std::size_t>(j)]));
                if (d <= tolerance) {
                    list[static_cast<std::size_t>(j)] = list[static_cast<std::size_t>(i)];
                    merged[static_cast<std::size_t>(j)] = true;
                }
            }
        }
    }
}

bool sortColorIndex(const StitchMatrix& stitches, int gw, int gh, int threshold,
    const ThreadTable& table, LiteralModel& model, const LiteralHooks& hooks)
{
    for (int i = 1; i <= 500; ++i) {
        ThreadEntry& e = model.threadList[static_cast<std::size_t>(i)];
        e.color = 0xFFFFFF;
        e.name.clear();
        e.count = 0;
    }
    progress(hooks, 0, gh);
    if (model.whichType != "DMC")
        return true;

    int listed = 0;
    for (int y = 0; y <= gh - 1; ++y) {
        for (int x = 0; x <= gw - 1; ++x) {
            const int t = ci(model, x, y);
            const bool first = x == 0 && y == 0;
            bool need = true;
            if (!first) {
                for (int k = 1; k <= listed; ++k) {
                    if (model.threadList[static_cast<std::size_t>(k)].index == t) {
                        need = false;
                        break;
                    }
                }
            }
            if (!need)
                continue;
            int c = 0;
            for (int yy = 0; yy <= gh - 1; ++yy) {
                for (int xx = 0; xx <= gw - 1; ++xx)
                    if (ci(model, xx, yy) == t)
                        c = c + 1;
                if (!running(hooks))
                    return false;
            }
            if (c >= threshold) {
                listed = listed + 1;
                ThreadEntry& e = model.threadList[static_cast<std::size_t>(listed)];
                e.count = c;
                e.index = t;
                e.name = fixedName(table.dmc(t).cindex);
                e.color = first ? stitches.at(0, 0) : table.colorOf(t);
            }
        }
        progress(hooks, y + 1, gh);
    }
    model.maxColor = listed;
    return true;
}

void loadxiuChr(LiteralModel& model)
{
    model.xiuChr = "abcdefghkmnpqrstuvwxyz-+=:()23456789@#$%*<>?/\\{}ABDEFGHIJKLMNOPQRSTUVWXYZ";
    model.xiuChr = model.xiuChr + "&[]";
    model.xiuChr = model.xiuChr + "人了少手认台才必李众走包王么亚采女";
    model.xiuChr = model.xiuChr + "不为工上个开方王于长本月力万后下";
    model.xiuChr = model.xiuChr + "去也与之文三各十内小力立了心术门今";
    model.xiuChr = model.xiuChr + "长光广比必已衣乙义车书干又由少手几只头五氏白才走户马土占石米";
    model.xiuChr = model.xiuChr + "千巴八失足九而儿耳尔为未乐存寸羊央以父负分目母木亩象向计世华化花者吁节杰行言严";
    model.xiuChr = model.xiuChr + "其气色四司大打北备被贝句举林吝见尖荐加甲夹示式求丘但丹无山办半两良次天田农千前多夺和合何年廿";
}

void assignSymbols(LiteralModel& model, const LiteralHooks& hooks)
{
    if (!running(hooks))
        return;
    for (int i = 1; i <= model.colorCount; ++i)
        model.chrIndex[static_cast<std::size_t>(model.colorList[static_cast<std::size_t>(i)])] = i;
}

bool generate(const StitchMatrix& stitches, int gw, int gh, int mergeTol, int threshold,
    const ThreadTable& table, LiteralModel& model, const LiteralHooks& hooks)
{
    loadxiuChr(model);
    if (!makeColorIndex(stitches, gw, gh, mergeTol, table, model, hooks))
        return false;
    if (!sortColorIndex(stitches, gw, gh, threshold, table, model, hooks))
        return false;
    assignSymbols(model, hooks);
    return true;
}

} // namespace kanvo::literal
