#include "app/chart/ChartPainter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>

#include "core/common/Rounding.h"

namespace kanvo {

namespace {

QColor toQColor(ColorValue c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }

// Room around a cached glyph for side bearings and antialiased edges.
constexpr int kGlyphPad = 2;

} // namespace

ChartPainter::ChartPainter(float scale) : scale_(scale > 0.0f ? scale : 1.0f) {}

QFont ChartPainter::makeFont(const FontSpec& spec, float unitsPerPoint, float scale)
{
    QFont font(QString::fromStdString(spec.family));
    font.setPixelSize(std::max(1, roundHalfEvenInt(spec.pointSize * unitsPerPoint * scale)));
    font.setBold(spec.bold);
    return font;
}

ChartPainter::Metrics::Metrics(float unitsPerPoint, float scale)
    : unitsPerPoint_(unitsPerPoint), scale_(scale > 0.0f ? scale : 1.0f)
{
}

float ChartPainter::Metrics::width(std::string_view text, const FontSpec& font) const
{
    const QFontMetricsF fm(makeFont(font, unitsPerPoint_, scale_));
    const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    return static_cast<float>(fm.horizontalAdvance(s) / scale_);
}

float ChartPainter::Metrics::height(const FontSpec& font) const
{
    const QFontMetricsF fm(makeFont(font, unitsPerPoint_, scale_));
    return static_cast<float>(fm.height() / scale_);
}

void ChartPainter::prepareFonts(const DrawList& list)
{
    if (fontSpecs_ == list.fonts() && unitsPerPoint_ == list.unitsPerPoint())
        return;
    fontSpecs_ = list.fonts();
    unitsPerPoint_ = list.unitsPerPoint();
    fonts_.clear();
    ascents_.clear();
    descents_.clear();
    glyphs_.clear();
    recent_.fill(RecentGlyph{});
    advances_.clear();
    for (const FontSpec& spec : fontSpecs_) {
        fonts_.push_back(makeFont(spec, unitsPerPoint_, scale_));
        const QFontMetricsF fm(fonts_.back());
        ascents_.push_back(fm.ascent());
        descents_.push_back(fm.descent());
    }
}

QPointF ChartPainter::topLeft(const TextOp& text)
{
    const double x = text.x * scale_;
    const double y = text.y * scale_;
    if (text.anchor == TextAnchor::TopLeft)
        return {x, y};
    std::string key(reinterpret_cast<const char*>(&text.font), sizeof text.font);
    key += text.text;
    auto it = advances_.find(key);
    if (it == advances_.end()) {
        const QFontMetricsF fm(fonts_[static_cast<std::size_t>(text.font)]);
        it = advances_.emplace(std::move(key), fm.horizontalAdvance(QString::fromStdString(text.text))).first;
    }
    const double advance = it->second;
    if (text.anchor == TextAnchor::TopRight)
        return {x - advance, y};
    const auto font = static_cast<std::size_t>(text.font);
    return {x - advance / 2.0, y - (ascents_[font] + descents_[font]) / 2.0};
}

const ChartPainter::Glyph& ChartPainter::glyph(const std::string& text, int font, ColorValue color)
{
    if (text.size() > sizeof(std::uint64_t))
        return cachedGlyph(text, font, color);
    std::uint64_t packed = 0;
    std::memcpy(&packed, text.data(), text.size());
    const std::uint64_t style = static_cast<std::uint64_t>(static_cast<std::uint32_t>(font)) << 40
        | static_cast<std::uint64_t>(text.size()) << 32 | color;
    RecentGlyph& slot = recent_[((packed ^ style) * 0x9E3779B97F4A7C15ull) >> 56];
    if (slot.glyph == nullptr || slot.text != packed || slot.style != style)
        slot = {packed, style, &cachedGlyph(text, font, color)};
    return *slot.glyph;
}

const ChartPainter::Glyph& ChartPainter::cachedGlyph(const std::string& text, int font, ColorValue color)
{
    std::string key = text;
    key.push_back('\0');
    key.append(reinterpret_cast<const char*>(&font), sizeof font);
    key.append(reinterpret_cast<const char*>(&color), sizeof color);
    auto it = glyphs_.find(key);
    if (it != glyphs_.end())
        return it->second;

    const QFont& qfont = fonts_[static_cast<std::size_t>(font)];
    const QFontMetricsF fm(qfont);
    const QString s = QString::fromStdString(text);
    const QRectF bounds = fm.boundingRect(s);
    const int left = std::max(kGlyphPad, static_cast<int>(std::ceil(-bounds.left())) + 1);
    const int width = left + static_cast<int>(std::ceil(std::max(fm.horizontalAdvance(s), bounds.right()))) + kGlyphPad;
    const int height = static_cast<int>(std::ceil(std::max(fm.height(), fm.ascent() + bounds.bottom()))) + kGlyphPad;

    Glyph g;
    g.offsetX = left;
    g.image = QImage(std::max(width, 1), std::max(height, 1), QImage::Format_ARGB32_Premultiplied);
    g.image.fill(Qt::transparent);
    {
        QPainter p(&g.image);
        p.setFont(qfont);
        p.setPen(toQColor(color));
        p.drawText(QPointF(left, ascents_[static_cast<std::size_t>(font)]), s);
    }
    return glyphs_.emplace(std::move(key), std::move(g)).first->second;
}

void ChartPainter::paint(QPainter& painter, const DrawList& list)
{
    paint(painter, list, 0, list.ops().size());
}

void ChartPainter::paint(QPainter& painter, const DrawList& list, const DrawSection& section)
{
    paint(painter, list, section.begin, section.end);
}

void ChartPainter::paint(QPainter& painter, const DrawList& list, std::size_t begin, std::size_t end)
{
    prepareFonts(list);
    const auto& ops = list.ops();
    end = std::min(end, ops.size());
    if (begin >= end)
        return;

    const bool raster = glyphCache_ && painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster;
    const double s = scale_;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    int currentFont = -1;
    ColorValue currentTextColor = 0xFFFFFFFFu;

    for (std::size_t i = begin; i < end; ++i) {
        const DrawOp& op = ops[i];
        if (const auto* rect = std::get_if<FillRectOp>(&op)) {
            painter.fillRect(QRectF(rect->x * s, rect->y * s, rect->w * s, rect->h * s), toQColor(rect->color));
        } else if (const auto* text = std::get_if<TextOp>(&op)) {
            const QPointF corner = topLeft(*text);
            if (raster) {
                const Glyph& g = glyph(text->text, text->font, text->color);
                const int x = static_cast<int>(std::lround(corner.x())) - g.offsetX;
                const int y = static_cast<int>(std::lround(corner.y()));
                painter.drawImage(QPoint(x, y), g.image);
                continue;
            }
            if (text->font != currentFont) {
                currentFont = text->font;
                painter.setFont(fonts_[static_cast<std::size_t>(currentFont)]);
            }
            if (text->color != currentTextColor) {
                currentTextColor = text->color;
                painter.setPen(toQColor(currentTextColor));
            }
            painter.drawText(QPointF(corner.x(), corner.y() + ascents_[static_cast<std::size_t>(text->font)]),
                QString::fromStdString(text->text));
        } else if (const auto* line = std::get_if<LineOp>(&op)) {
            QPen pen(toQColor(line->color));
            pen.setWidthF(line->deviceWidth ? line->width : line->width * s);
            pen.setCapStyle(Qt::FlatCap);
            painter.setPen(pen);
            currentTextColor = 0xFFFFFFFFu; // the pen no longer carries a text colour
            painter.drawLine(QPointF(line->x1 * s, line->y1 * s), QPointF(line->x2 * s, line->y2 * s));
        } else if (const auto* polygon = std::get_if<PolygonOp>(&op)) {
            QPolygonF points;
            for (std::size_t p = 0; p + 1 < polygon->points.size(); p += 2)
                points << QPointF(polygon->points[p] * s, polygon->points[p + 1] * s);
            QPainterPath path;
            path.addPolygon(points);
            path.closeSubpath();
            painter.fillPath(path, toQColor(polygon->color));
        } else if (const auto* stroke = std::get_if<StrokeOp>(&op)) {
            QPen pen(toQColor(stroke->color));
            pen.setWidthF(std::max(static_cast<double>(stroke->width) * s, static_cast<double>(stroke->minDeviceWidth)));
            pen.setCapStyle(Qt::RoundCap);
            pen.setJoinStyle(Qt::RoundJoin);
            painter.setPen(pen);
            currentTextColor = 0xFFFFFFFFu;
            // Round shapes are smoothed; the grid and the blocks stay on whole pixels.
            painter.setRenderHint(QPainter::Antialiasing, true);
            QPolygonF points;
            for (std::size_t p = 0; p + 1 < stroke->points.size(); p += 2)
                points << QPointF(stroke->points[p] * s, stroke->points[p + 1] * s);
            painter.drawPolyline(points);
            painter.setRenderHint(QPainter::Antialiasing, false);
        } else if (const auto* circle = std::get_if<CircleOp>(&op)) {
            if (circle->edgeWidth > 0.0f) {
                QPen pen(toQColor(circle->edge));
                pen.setWidthF(std::max(static_cast<double>(circle->edgeWidth) * s, 1.0));
                painter.setPen(pen);
            } else {
                painter.setPen(Qt::NoPen);
            }
            currentTextColor = 0xFFFFFFFFu;
            painter.setBrush(toQColor(circle->color));
            painter.setRenderHint(QPainter::Antialiasing, true);
            painter.drawEllipse(QPointF(circle->cx * s, circle->cy * s), circle->r * s, circle->r * s);
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.setBrush(Qt::NoBrush);
        }
    }
    painter.restore();
}

QImage ChartPainter::renderCanvas(const DrawList& list, int width, int height)
{
    QImage image(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    ChartPainter chartPainter(1.0f);
    chartPainter.paint(painter, list);
    return image;
}

} // namespace kanvo
