#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/chart/DrawList.h"
#include "core/chart/TextMetrics.h"
#include "core/palette/ChartModel.h"

namespace kanvo::test {

// Fixed metrics: every character (code point) is charWidth wide; the title font (bold) is
// titleHeight high, every other font textHeight.
class FixedMetrics final : public TextMetrics {
public:
    FixedMetrics(float charWidth, float titleHeight, float textHeight)
        : charWidth_(charWidth), titleHeight_(titleHeight), textHeight_(textHeight)
    {
    }
    [[nodiscard]] float width(std::string_view text, const FontSpec&) const override
    {
        int points = 0;
        for (unsigned char ch : text)
            points += (ch & 0xC0) != 0x80 ? 1 : 0;
        return charWidth_ * static_cast<float>(points);
    }
    [[nodiscard]] float height(const FontSpec& font) const override { return font.bold ? titleHeight_ : textHeight_; }

private:
    float charWidth_, titleHeight_, textHeight_;
};

// A chart of gw x gh stitches whose stitch (x, y) has thread threadOf(x, y); the legend lists
// `threads` threads 1..threads with symbol positions 1..threads, names "  t" and counts.
template <typename F>
ChartModel makeModel(int gw, int gh, int threads, F threadOf)
{
    ChartModel m;
    m.gw = gw;
    m.gh = gh;
    m.colorIndex.assign(321 * 321, 0);
    for (int x = 0; x < gw; ++x)
        for (int y = 0; y < gh; ++y)
            m.colorIndex[static_cast<std::size_t>(x) * 321 + static_cast<std::size_t>(y)] = threadOf(x, y);
    // the first 73 symbols of the real set are enough for these charts
    const std::string ascii = "abcdefghkmnpqrstuvwxyz-+=:()23456789@#$%*<>?/\\{}ABDEFGHIJKLMNOPQRSTUVWXYZ";
    for (char ch : ascii)
        m.xiuChr.emplace_back(1, ch);
    m.chrIndex.assign(500, 0);
    for (int t = 1; t <= threads; ++t) {
        m.chrIndex[static_cast<std::size_t>(t)] = t;
        ThreadEntry e;
        e.index = t;
        e.color = static_cast<ColorValue>(t * 0x010203);
        e.name = std::to_string(t);
        e.name.resize(8, ' ');
        e.count = t * 10;
        m.threadList.push_back(e);
    }
    m.maxColor = threads;
    m.colorCount = threads;
    return m;
}

inline std::vector<TextOp> textsOf(const DrawList& list)
{
    std::vector<TextOp> out;
    for (const DrawOp& op : list.ops())
        if (const auto* t = std::get_if<TextOp>(&op))
            out.push_back(*t);
    return out;
}

inline std::vector<FillRectOp> rectsOf(const DrawList& list, ColorValue color)
{
    std::vector<FillRectOp> out;
    for (const DrawOp& op : list.ops())
        if (const auto* r = std::get_if<FillRectOp>(&op); r && r->color == color)
            out.push_back(*r);
    return out;
}

inline std::vector<LineOp> linesOf(const DrawList& list, ColorValue color)
{
    std::vector<LineOp> out;
    for (const DrawOp& op : list.ops())
        if (const auto* l = std::get_if<LineOp>(&op); l && l->color == color)
            out.push_back(*l);
    return out;
}

// The texts placed exactly at (x, y).
inline std::vector<std::string> textsAt(const DrawList& list, float x, float y)
{
    std::vector<std::string> out;
    for (const TextOp& t : textsOf(list))
        if (t.x == x && t.y == y)
            out.push_back(t.text);
    return out;
}

inline int countTexts(const DrawList& list, std::string_view text)
{
    int n = 0;
    for (const TextOp& t : textsOf(list))
        n += t.text == text ? 1 : 0;
    return n;
}

} // namespace kanvo::test
