#include "core/project/OxsWriter.h"

#include <cstdint>
#include <span>
#include <vector>

#include <pugixml.hpp>

#include "core/common/AtomicFile.h"
#include "core/palette/ThreadTable.h"
#include "core/project/OxsLayers.h"

namespace kanvo {

namespace {

// XML 1.0 allows no control characters but tab and line ends; a title may hold anything.
[[nodiscard]] std::string xmlSafe(std::string text)
{
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20)
            c = ' ';
    return text;
}

class StringWriter final : public pugi::xml_writer {
public:
    void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
    std::string text;
};

// The chart's threads in symbol order: colorList first, then any thread the stitches use that it
// lacks.
[[nodiscard]] std::vector<int> paletteThreads(const ChartModel& chart)
{
    std::vector<int> threads;
    std::vector<bool> listed(ChartModel::kThreadSlots, false);
    for (const std::vector<int>& source : {chart.colorList, usedThreads(chart)})
        for (const int t : source)
            if (ThreadTable::isThread(t) && !listed[static_cast<std::size_t>(t)]) {
                listed[static_cast<std::size_t>(t)] = true;
                threads.push_back(t);
            }
    return threads;
}

} // namespace

std::optional<std::string> OxsWriter::format(const ChartProject& project, const ThreadTable& table)
{
    const ChartModel& chart = project.chart;
    if (chart.gw < 1 || chart.gw > ChartModel::kMaxSide || chart.gh < 1 || chart.gh > ChartModel::kMaxSide
        || chart.colorIndex.size() < static_cast<std::size_t>(ChartModel::kMatrixSide) * ChartModel::kMatrixSide)
        return std::nullopt;

    const std::vector<int> threads = paletteThreads(chart);
    std::vector<int> palIndexOf(ChartModel::kThreadSlots, 0);
    for (std::size_t i = 0; i < threads.size(); ++i)
        palIndexOf[static_cast<std::size_t>(threads[i])] = static_cast<int>(i + 1);

    pugi::xml_document doc;
    pugi::xml_node declaration = doc.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    pugi::xml_node root = doc.append_child("chart");

    pugi::xml_node properties = root.append_child("properties");
    properties.append_attribute("oxsversion") = "1.0";
    properties.append_attribute("software") = "Kanvo";
    properties.append_attribute("chartwidth") = chart.gw;
    properties.append_attribute("chartheight") = chart.gh;
    properties.append_attribute("charttitle") = xmlSafe(chart.xiutuTitle).c_str();
    properties.append_attribute("stitchesperinch") = project.stitchesPerInch;
    properties.append_attribute("stitchesperinch_y") = project.stitchesPerInchY;
    properties.append_attribute("palettecount") = static_cast<int>(threads.size());

    pugi::xml_node palette = root.append_child("palette");
    pugi::xml_node cloth = palette.append_child("palette_item");
    cloth.append_attribute("index") = 0;
    cloth.append_attribute("number") = "cloth";
    cloth.append_attribute("name") = "cloth";
    cloth.append_attribute("color") = rgbHex(chart.clothColor).c_str();
    for (std::size_t i = 0; i < threads.size(); ++i) {
        const int t = threads[i];
        const std::string number = std::to_string(table.dmc(t).cindex);
        pugi::xml_node item = palette.append_child("palette_item");
        item.append_attribute("index") = static_cast<int>(i + 1);
        item.append_attribute("number") = ("DMC " + number).c_str();
        item.append_attribute("name") = number.c_str(); // our threads have no names
        item.append_attribute("color") = rgbHex(table.colorOf(t)).c_str();
        item.append_attribute("strands") = 2;
        item.append_attribute("symbol") = std::string(chart.symbolOf(t)).c_str();
    }

    pugi::xml_node stitches = root.append_child("fullstitches");
    for (int y = 0; y < chart.gh; ++y) {
        for (int x = 0; x < chart.gw; ++x) {
            const int t = chart.threadAt(x, y);
            if (!ThreadTable::isThread(t))
                continue; // no stitch (or a thread the table lacks, which has no colour to write)
            pugi::xml_node stitch = stitches.append_child("stitch");
            stitch.append_attribute("x") = x;
            stitch.append_attribute("y") = y;
            stitch.append_attribute("palindex") = palIndexOf[static_cast<std::size_t>(t)];
        }
    }
    OxsLayers::write(root, chart.layers, [&](int thread) {
        return ThreadTable::isThread(thread) ? palIndexOf[static_cast<std::size_t>(thread)] : 0;
    });

    StringWriter writer;
    // Room for the whole document at once (a full stitch takes about 45 bytes, an element of the
    // layers about 110): growing a text of megabytes step by step costs more than writing it.
    const std::size_t elements = chart.layers.parts.size() + chart.layers.backs.size() + chart.layers.ornaments.size();
    writer.text.reserve(1024 + 160 * threads.size() + 48 * static_cast<std::size_t>(chart.stitchCount()) + 128 * elements);
    doc.save(writer, "  ", pugi::format_default, pugi::encoding_utf8);
    return std::move(writer.text);
}

ProjectError OxsWriter::writeFile(const std::string& path, const ChartProject& project, const ThreadTable& table,
    std::string* detail)
{
    const std::optional<std::string> text = format(project, table);
    if (!text)
        return ProjectError::NoChart;
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(text->data()), text->size());
    return writeFileAtomically(path, bytes, detail) ? ProjectError::None : ProjectError::CannotWrite;
}

} // namespace kanvo
