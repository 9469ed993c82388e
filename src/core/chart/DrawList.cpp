#include "core/chart/DrawList.h"

#include <algorithm>
#include <cassert>

namespace kanvo {

int DrawList::fontId(const FontSpec& font)
{
    const auto it = std::find(fonts_.begin(), fonts_.end(), font);
    if (it != fonts_.end())
        return static_cast<int>(it - fonts_.begin());
    fonts_.push_back(font);
    return static_cast<int>(fonts_.size()) - 1;
}

void DrawList::line(float x1, float y1, float x2, float y2, ColorValue color, float width, bool deviceWidth)
{
    ops_.emplace_back(LineOp{x1, y1, x2, y2, color, width, deviceWidth});
}

void DrawList::fillRect(float x, float y, float w, float h, ColorValue color)
{
    ops_.emplace_back(FillRectOp{x, y, w, h, color});
}

void DrawList::text(float x, float y, std::string text, int font, ColorValue color, TextAnchor anchor)
{
    assert(font >= 0 && font < static_cast<int>(fonts_.size()));
    if (text.empty())
        return;
    ops_.emplace_back(TextOp{x, y, std::move(text), font, color, anchor});
}

void DrawList::polygon(std::vector<float> points, ColorValue color)
{
    assert(points.size() % 2 == 0);
    if (points.size() >= 6)
        ops_.emplace_back(PolygonOp{std::move(points), color});
}

void DrawList::stroke(std::vector<float> points, ColorValue color, float width, float minDeviceWidth)
{
    assert(points.size() % 2 == 0);
    if (points.size() >= 4)
        ops_.emplace_back(StrokeOp{std::move(points), color, width, minDeviceWidth});
}

void DrawList::circle(float cx, float cy, float r, ColorValue color, ColorValue edge, float edgeWidth)
{
    ops_.emplace_back(CircleOp{cx, cy, r, color, edge, edgeWidth});
}

void DrawList::beginSection(DrawStage stage, int row)
{
    sections_.push_back(DrawSection{stage, row, ops_.size(), ops_.size()});
}

void DrawList::endSection(bool keepEmpty)
{
    assert(!sections_.empty());
    sections_.back().end = ops_.size();
    if (!keepEmpty && sections_.back().begin == sections_.back().end)
        sections_.pop_back();
}

} // namespace kanvo
