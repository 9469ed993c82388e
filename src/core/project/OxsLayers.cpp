#include "core/project/OxsLayers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string_view>
#include <vector>

#include "core/stitch/StitchGeometry.h"

namespace kanvo {

namespace {

// A three-quarter stitch's diagonal and the corner each palindex side adds to it.
struct ThreeQuarter {
    std::uint8_t diagonal;
    std::uint8_t corner1; // palindex1's side
    std::uint8_t corner2; // palindex2's side
};
constexpr ThreeQuarter kDirection1{kHalfBackslash, kBottomLeft, kTopRight};
constexpr ThreeQuarter kDirection2{kHalfSlash, kTopLeft, kBottomRight};

// A number as the format writes it, '.' or ',' as the decimal mark, blanks around it allowed;
// nullopt for anything else, infinities and NaN included.
[[nodiscard]] std::optional<double> number(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    std::array<char, 64> text{};
    if (s.empty() || s.size() > text.size())
        return std::nullopt;
    std::transform(s.begin(), s.end(), text.begin(), [](char c) { return c == ',' ? '.' : c; });
    double value = 0;
    const char* const end = text.data() + s.size();
    const auto [stop, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc{} || stop != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// The element's name and an attribute as the file gives it, for a refusal.
[[nodiscard]] std::string describe(pugi::xml_node node, const char* attribute)
{
    std::string value = node.attribute(attribute).value();
    if (value.size() > 40)
        value = value.substr(0, 40) + "...";
    return std::string(node.name()) + " " + attribute + "=\"" + value + "\"";
}

class LayerReader {
public:
    LayerReader(int gw, int gh, const OxsLayers::ThreadOf& threadOf) : gw_(gw), gh_(gh), threadOf_(threadOf) {}

    // The coordinates named, or nullopt with the refusal noted.
    template <std::size_t N>
    [[nodiscard]] std::optional<std::array<double, N>> coordinates(pugi::xml_node node, const char* const (&names)[N])
    {
        std::array<double, N> values{};
        for (std::size_t i = 0; i < N; ++i) {
            const std::optional<double> v = number(node.attribute(names[i]).value());
            if (!v) {
                read.badElement = describe(node, names[i]);
                return std::nullopt;
            }
            values[i] = *v;
        }
        return values;
    }

    // The thread of a palindex attribute; a missing attribute is the cloth.
    [[nodiscard]] std::optional<int> thread(pugi::xml_node node, const char* attribute) const
    {
        const pugi::xml_attribute a = node.attribute(attribute);
        return a ? threadOf_(a.value()) : std::optional<int>(0);
    }

    // Adds a part stitch of cell (x, y); false when it lies outside the chart.
    bool addPart(double x, double y, std::uint8_t corners, int thread)
    {
        if (!(x >= 0 && y >= 0 && x < gw_ && y < gh_)) // before the cast, which a huge value overflows
            return false;
        const PartStitch part{static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)), corners, thread};
        if (thread != 0)
            read.layers.parts.push_back(part);
        return true;
    }

    bool partStitch(pugi::xml_node node)
    {
        const auto xy = coordinates(node, {"x", "y"});
        if (!xy)
            return false;
        const double direction = number(node.attribute("direction").value()).value_or(0);
        const std::optional<int> t1 = thread(node, "palindex1");
        const std::optional<int> t2 = thread(node, "palindex2");
        bool kept = t1 && t2;
        const auto [x, y] = *xy;
        if (kept && (direction == 3 || direction == 4)) {
            kept = addPart(x, y, direction == 3 ? kHalfSlash : kHalfBackslash, *t1 != 0 ? *t1 : *t2);
        } else if (kept && (direction == 1 || direction == 2)) {
            const ThreeQuarter& q = direction == 1 ? kDirection1 : kDirection2;
            // With both sides, the second can only be a quarter: one half stitch per cell.
            kept = *t1 != 0 ? addPart(x, y, q.diagonal | q.corner1, *t1) && addPart(x, y, q.corner2, *t2)
                            : addPart(x, y, q.diagonal | q.corner2, *t2);
        } else {
            kept = false;
        }
        read.leftOut.partStitches += kept ? 0 : 1;
        return true;
    }

    bool backStitch(pugi::xml_node node, std::vector<std::pair<double, BackStitch>>& backs)
    {
        if (std::string_view(node.attribute("objecttype").value()) == "curvedstitch") {
            ++read.leftOut.others; // a curve through more points than a straight stitch holds
            return true;
        }
        const auto points = coordinates(node, {"x1", "y1", "x2", "y2"});
        if (!points)
            return false;
        const auto [x1, y1, x2, y2] = *points;
        const BackStitch back{{x1, y1}, {x2, y2}, 0};
        const std::optional<int> t = thread(node, "palindex");
        if (!t || !StitchGeometry::inside(back, gw_, gh_)) {
            ++read.leftOut.backStitches;
        } else if (*t != 0) {
            backs.emplace_back(number(node.attribute("sequence").value()).value_or(0),
                BackStitch{back.from, back.to, *t});
        }
        return true;
    }

    bool object(pugi::xml_node node)
    {
        const std::string_view type = node.attribute("objecttype").value();
        const bool knot = type.find("knot") != std::string_view::npos;
        const bool bead = type.starts_with("bead");
        if (!knot && !bead && type != "quarter" && type != "tent") {
            ++read.leftOut.others;
            return true;
        }
        const auto xy = coordinates(node, {"x1", "y1"});
        if (!xy)
            return false;
        const auto [x, y] = *xy;
        const std::optional<int> t = thread(node, "palindex");
        if (knot || bead) {
            const Ornament ornament{{x, y}, knot ? OrnamentKind::Knot : OrnamentKind::Bead, t.value_or(0)};
            if (!t || !StitchGeometry::inside(ornament, gw_, gh_))
                ++(knot ? read.leftOut.knots : read.leftOut.beads);
            else if (*t != 0)
                read.layers.ornaments.push_back(ornament);
            return true;
        }
        std::uint8_t corners = 0;
        if (type == "quarter") {
            const bool right = x - std::floor(x) >= 0.5;
            const bool bottom = y - std::floor(y) >= 0.5;
            corners = bottom ? (right ? kBottomRight : kBottomLeft) : (right ? kTopRight : kTopLeft);
        } else {
            const std::optional<double> direction = number(node.attribute("direction").value());
            corners = direction == 1 ? kHalfBackslash : direction == 2 ? kHalfSlash : 0;
        }
        if (!t || corners == 0 || !addPart(x, y, corners, *t))
            ++read.leftOut.partStitches;
        return true;
    }

    OxsLayers::Read read;

private:
    int gw_;
    int gh_;
    const OxsLayers::ThreadOf& threadOf_;
};

// Writes a number in the shortest form that reads back as the same double.
void setNumber(pugi::xml_node node, const char* name, double value)
{
    std::array<char, 32> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size() - 1, value);
    *result.ptr = '\0';
    node.append_attribute(name) = text.data();
}

void appendObject(pugi::xml_node section, double x, double y, int palIndex, const char* type)
{
    pugi::xml_node object = section.append_child("object");
    setNumber(object, "x1", x);
    setNumber(object, "y1", y);
    object.append_attribute("palindex") = palIndex;
    object.append_attribute("objecttype") = type;
}

} // namespace

OxsLayers::Read OxsLayers::read(pugi::xml_node chart, int gw, int gh, const ThreadOf& threadOf)
{
    LayerReader reader(gw, gh, threadOf);
    std::vector<std::pair<double, BackStitch>> backs;
    for (pugi::xml_node section = chart.first_child(); section; section = section.next_sibling()) {
        const std::string_view name = section.name();
        const bool parts = name == "partstitches";
        const bool backSection = name == "backstitches";
        const bool ornaments = name.starts_with("ornaments");
        for (pugi::xml_node node = section.first_child(); node && (parts || backSection || ornaments);
             node = node.next_sibling()) {
            const std::string_view kind = node.name();
            const bool ok = parts && kind == "partstitch"   ? reader.partStitch(node)
                : backSection && kind == "backstitch"       ? reader.backStitch(node, backs)
                : ornaments && kind == "object"             ? reader.object(node)
                                                            : true;
            if (!ok)
                return std::move(reader.read);
        }
    }
    std::stable_sort(backs.begin(), backs.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [sequence, back] : backs)
        reader.read.layers.backs.push_back(back);
    return std::move(reader.read);
}

void OxsLayers::write(pugi::xml_node chart, const StitchLayers& layers, const std::function<int(int thread)>& palIndexOf)
{
    pugi::xml_node partSection = chart.append_child("partstitches");
    std::vector<const PartStitch*> quarters;
    for (std::size_t i = 0; i < layers.parts.size(); ++i) {
        const PartStitch& p = layers.parts[i];
        const int palIndex = palIndexOf(p.thread);
        const int corners = p.corners & 15;
        if (palIndex == 0 || corners == 0 || corners == 15)
            continue;
        int direction = 0;
        int palIndex1 = palIndex;
        int palIndex2 = 0;
        if (StitchGeometry::cornerCount(p.corners) == 1) {
            quarters.push_back(&p);
            continue;
        }
        if (corners == kHalfSlash || corners == kHalfBackslash) {
            direction = corners == kHalfSlash ? 3 : 4;
        } else if (StitchGeometry::cornerCount(p.corners) == 3) {
            const ThreeQuarter& q = (corners & kHalfSlash) == kHalfSlash ? kDirection2 : kDirection1;
            direction = &q == &kDirection1 ? 1 : 2;
            if ((corners & ~q.diagonal) == q.corner2) {
                palIndex1 = 0;
                palIndex2 = palIndex;
            } else if (i + 1 < layers.parts.size()) {
                // The other side's quarter, right after it, is the same element (as read).
                const PartStitch& next = layers.parts[i + 1];
                if (next.x == p.x && next.y == p.y && next.corners == q.corner2 && palIndexOf(next.thread) != 0) {
                    palIndex2 = palIndexOf(next.thread);
                    ++i;
                }
            }
        } else {
            quarters.push_back(&p); // two corners side by side: a quarter stitch each
            continue;
        }
        pugi::xml_node node = partSection.append_child("partstitch");
        node.append_attribute("x") = p.x;
        node.append_attribute("y") = p.y;
        node.append_attribute("palindex1") = palIndex1;
        node.append_attribute("palindex2") = palIndex2;
        node.append_attribute("direction") = direction;
    }

    pugi::xml_node backSection = chart.append_child("backstitches");
    int sequence = 0;
    for (const BackStitch& b : layers.backs) {
        const int palIndex = palIndexOf(b.thread);
        if (palIndex == 0)
            continue;
        pugi::xml_node node = backSection.append_child("backstitch");
        setNumber(node, "x1", b.from.x);
        setNumber(node, "y1", b.from.y);
        setNumber(node, "x2", b.to.x);
        setNumber(node, "y2", b.to.y);
        node.append_attribute("palindex") = palIndex;
        node.append_attribute("objecttype") = "backstitch";
        node.append_attribute("sequence") = sequence++;
    }

    if (quarters.empty() && layers.ornaments.empty())
        return;
    pugi::xml_node ornaments = chart.append_child("ornaments_inc_knots_and_beads");
    for (const PartStitch* p : quarters)
        for (const std::uint8_t corner : {kTopLeft, kTopRight, kBottomLeft, kBottomRight})
            if ((p->corners & corner) != 0)
                appendObject(ornaments, p->x + ((corner & (kTopRight | kBottomRight)) != 0 ? 0.5 : 0),
                    p->y + ((corner & (kBottomLeft | kBottomRight)) != 0 ? 0.5 : 0), palIndexOf(p->thread), "quarter");
    for (const Ornament& o : layers.ornaments)
        if (const int palIndex = palIndexOf(o.thread); palIndex != 0)
            appendObject(ornaments, o.at.x, o.at.y, palIndex, o.kind == OrnamentKind::Knot ? "knot" : "bead");
}

} // namespace kanvo
