#include "core/project/OxsReader.h"

#include <charconv>
#include <cstring>
#include <fstream>
#include <optional>
#include <unordered_map>
#include <vector>

#include <pugixml.hpp>

#include "core/palette/ThreadTable.h"
#include "core/palette/SymbolSet.h"
#include "core/project/OxsLayers.h"
#include "core/project/PaletteItemMatcher.h"

namespace kanvo {

namespace {

using Result = OxsReader::Result;

// A whole number of at most nine digits, blanks around it allowed; nullopt for anything else.
[[nodiscard]] std::optional<int> wholeNumber(const char* text)
{
    std::string_view s(text);
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    if (s.empty() || s.size() > 10)
        return std::nullopt;
    int value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc{} || end != s.data() + s.size())
        return std::nullopt;
    return value;
}

// "RRGGBB" (a leading "#" allowed) as a colour value.
[[nodiscard]] std::optional<ColorValue> colorOfHex(const char* text)
{
    std::string_view s(text);
    if (!s.empty() && s.front() == '#')
        s.remove_prefix(1);
    if (s.size() != 6)
        return std::nullopt;
    unsigned rgb = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), rgb, 16);
    if (ec != std::errc{} || end != s.data() + s.size())
        return std::nullopt;
    return makeColor(static_cast<int>(rgb >> 16), static_cast<int>(rgb >> 8), static_cast<int>(rgb));
}

// A title for the chart: at most 200 bytes, cut at a character boundary, without control
// characters.
[[nodiscard]] std::string chartTitle(const char* text)
{
    constexpr std::size_t kMaxBytes = 200;
    std::string title(text, strnlen(text, kMaxBytes + 4));
    if (title.size() > kMaxBytes) {
        std::size_t cut = kMaxBytes;
        while (cut > 0 && (static_cast<unsigned char>(title[cut]) & 0xC0) == 0x80)
            --cut;
        title.resize(cut);
    }
    for (char& c : title)
        if (static_cast<unsigned char>(c) < 0x20)
            c = ' ';
    return title;
}

[[nodiscard]] Result refuse(ProjectError error, std::string detail = {})
{
    Result result;
    result.error = error;
    result.detail = std::move(detail);
    return result;
}

struct PaletteItem {
    std::string number;
    ColorValue color = 0;
    int thread = 0; // 0: the cloth
    bool substituted = false;
    bool used = false;
    std::string symbol; // the symbol the file gives it (see fileSymbol)
};

// The symbol a palette item's symbol attribute gives: the character itself, or a decimal code
// point of two or more digits ("100" is "d"), as UTF-8; empty for anything else.
[[nodiscard]] std::string fileSymbol(std::string_view text)
{
    const auto utf8Length = [](unsigned char lead) {
        return lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
    };
    if (!text.empty() && static_cast<int>(text.size()) == utf8Length(static_cast<unsigned char>(text[0])))
        return std::string(text);
    unsigned code = 0;
    if (text.size() < 2 || text.size() > 7 || std::from_chars(text.data(), text.data() + text.size(), code).ptr
        != text.data() + text.size())
        return {};
    std::string out;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
    return out;
}

// Gives the threads of the used palette items the symbols the file wrote for them, where those
// are symbols of ours and not yet taken (a symbol that occurs twice in our set serves two
// threads); completeChart gives the other threads free ones.
void takeFileSymbols(ChartModel& model, const std::vector<PaletteItem>& items)
{
    static const std::vector<std::string> symbols = loadxiuChr();
    model.chrIndex.assign(ChartModel::kThreadSlots, 0);
    std::vector<bool> taken(symbols.size() + 1, false);
    for (const PaletteItem& item : items) {
        if (!item.used || item.thread == 0 || item.symbol.empty() || model.chrIndex[static_cast<std::size_t>(item.thread)] != 0)
            continue;
        for (std::size_t p = 1; p <= symbols.size(); ++p) {
            if (!taken[p] && symbols[p - 1] == item.symbol) {
                taken[p] = true;
                model.chrIndex[static_cast<std::size_t>(item.thread)] = static_cast<int>(p);
                break;
            }
        }
    }
}

} // namespace

Result OxsReader::read(std::string_view xml, const ThreadTable& table)
{
    if (xml.size() > kMaxFileBytes)
        return refuse(ProjectError::TooLarge);
    pugi::xml_document doc;
    // The default parse leaves the document type out and expands only the five predefined
    // entities and character references, so no entity can grow the document.
    const pugi::xml_parse_result parsed = doc.load_buffer(xml.data(), xml.size(), pugi::parse_default);
    if (!parsed)
        return refuse(ProjectError::NotXml, parsed.description());

    const pugi::xml_node chart = doc.child("chart");
    const pugi::xml_node properties = chart.child("properties");
    if (!properties)
        return refuse(ProjectError::NoProperties);
    const pugi::xml_node palette = chart.child("palette");
    if (!palette)
        return refuse(ProjectError::NoPalette);
    const pugi::xml_node fullStitches = chart.child("fullstitches");
    if (!fullStitches)
        return refuse(ProjectError::NoFullStitches);

    const std::optional<int> width = wholeNumber(properties.attribute("chartwidth").value());
    const std::optional<int> height = wholeNumber(properties.attribute("chartheight").value());
    if (!width || !height || *width < 1 || *width > ChartModel::kMaxSide || *height < 1
        || *height > ChartModel::kMaxSide)
        return refuse(ProjectError::BadSize, std::string("chartwidth=") + properties.attribute("chartwidth").value()
            + " chartheight=" + properties.attribute("chartheight").value());

    Result result;
    ChartProject& project = result.project;
    ChartModel& model = project.chart;
    model.gw = *width;
    model.gh = *height;
    model.xiutuTitle = chartTitle(properties.attribute("charttitle").value());
    const auto fabricCount = [&](const char* name, int fallback) {
        const std::optional<int> count = wholeNumber(properties.attribute(name).value());
        return count && *count >= 1 && *count <= 1000 ? *count : fallback;
    };
    project.stitchesPerInch = fabricCount("stitchesperinch", ChartProject::kDefaultFabricCount);
    project.stitchesPerInchY = fabricCount("stitchesperinch_y", project.stitchesPerInch);

    // Palette items by their index; an item without one takes its position in the palette.
    const PaletteItemMatcher matcher(table);
    std::vector<PaletteItem> items;
    std::unordered_map<int, std::size_t> itemOfIndex;
    int position = 0;
    for (pugi::xml_node node = palette.child("palette_item"); node; node = node.next_sibling("palette_item"), ++position) {
        const std::optional<int> index = node.attribute("index") ? wholeNumber(node.attribute("index").value()) : position;
        if (!index || itemOfIndex.contains(*index))
            continue; // an item no stitch can name, or a second item of one index
        PaletteItem item;
        item.number = chartTitle(node.attribute("number").value());
        item.symbol = fileSymbol(node.attribute("symbol").value());
        const std::optional<ColorValue> color = colorOfHex(node.attribute("color").value());
        if (*index == 0) {
            if (color)
                model.clothColor = *color;
        } else {
            const std::optional<PaletteItemMatcher::Match> match = matcher.match(item.number, color);
            if (!match)
                return refuse(ProjectError::BadPaletteItem, "index=" + std::to_string(*index) + " number=" + item.number);
            item.color = color.value_or(0);
            item.thread = match->thread;
            item.substituted = match->substituted;
        }
        itemOfIndex.emplace(*index, items.size());
        items.push_back(std::move(item));
    }

    model.colorIndex.assign(static_cast<std::size_t>(ChartModel::kMatrixSide) * ChartModel::kMatrixSide,
        ChartModel::kNoStitch);
    for (pugi::xml_node node = fullStitches.child("stitch"); node; node = node.next_sibling("stitch")) {
        const std::optional<int> x = wholeNumber(node.attribute("x").value());
        const std::optional<int> y = wholeNumber(node.attribute("y").value());
        if (!x || !y || *x < 0 || *x >= model.gw || *y < 0 || *y >= model.gh)
            return refuse(ProjectError::StitchOutside,
                std::string("x=") + node.attribute("x").value() + " y=" + node.attribute("y").value());
        const std::optional<int> palIndex = wholeNumber(node.attribute("palindex").value());
        const auto it = palIndex ? itemOfIndex.find(*palIndex) : itemOfIndex.end();
        if (it == itemOfIndex.end())
            return refuse(ProjectError::UnknownPalIndex, std::string("palindex=") + node.attribute("palindex").value());
        PaletteItem& item = items[it->second];
        item.used = true;
        model.colorIndex[static_cast<std::size_t>(*x) * ChartModel::kMatrixSide + static_cast<std::size_t>(*y)]
            = item.thread;
    }

    const OxsLayers::Read layers = OxsLayers::read(chart, model.gw, model.gh, [&](const char* text) -> std::optional<int> {
        const std::optional<int> palIndex = wholeNumber(text);
        const auto it = palIndex ? itemOfIndex.find(*palIndex) : itemOfIndex.end();
        if (it == itemOfIndex.end())
            return std::nullopt;
        items[it->second].used = true;
        return items[it->second].thread;
    });
    if (!layers.badElement.empty())
        return refuse(ProjectError::BadCoordinate, layers.badElement);
    model.layers = layers.layers;
    result.notes.leftOut = layers.leftOut;

    // The threads in palette order, each once: the symbol order the file was written in.
    std::vector<bool> listed(ChartModel::kThreadSlots, false);
    for (const PaletteItem& item : items) {
        if (!item.used || item.thread == 0)
            continue;
        if (item.substituted)
            result.notes.substituted.push_back({item.number, item.color, item.thread});
        if (!listed[static_cast<std::size_t>(item.thread)]) {
            listed[static_cast<std::size_t>(item.thread)] = true;
            model.colorList.push_back(item.thread);
        }
    }
    takeFileSymbols(model, items);
    // A thread whose every stitch a later stitch overwrote leaves the chart here, keeping the
    // symbols of the others.
    completeChart(model, 0, table);
    return result;
}

Result OxsReader::readFile(const std::string& path, const ThreadTable& table)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return refuse(ProjectError::CannotRead, std::strerror(errno));
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0)
        return refuse(ProjectError::CannotRead);
    if (static_cast<std::uint64_t>(size) > kMaxFileBytes)
        return refuse(ProjectError::TooLarge);
    in.seekg(0, std::ios::beg);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (!in.read(bytes.data(), size))
        return refuse(ProjectError::CannotRead);
    return read(bytes, table);
}

} // namespace kanvo
