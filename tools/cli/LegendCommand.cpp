// kanvo-cli legend: builds the chart model of a picture (one pixel per stitch) and prints the
// thread legend: symbol, thread number and stitch count per line, then the totals.

#include <iostream>
#include <optional>
#include <string>

#include "CommandLine.h"
#include "Commands.h"
#include "core/image/ClsDIB.h"
#include "core/palette/ColorIndex.h"
#include "core/workspace/StitchMatrix.h"

namespace kanvo::cli {

namespace {

int fail(const std::string& message) { return reportFailure("legend", message); }
int usageError(const std::string& message) { return reportUsageError("legend", message); }

} // namespace

int runLegend(CommandArgs args)
{
    std::optional<std::string> input;
    int strength = 0;
    int rare = 5;
    std::string brand = "DMC";
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--merge" || arg == "--rare" || arg == "--brand") {
            if (i + 1 >= args.size())
                return usageError("option " + arg + " needs a value");
            const std::string& value = args[++i];
            if (arg == "--merge") {
                // The settings window's strength: tolerance = strength x 20, at most the
                // largest colour distance.
                const auto n = parseInt(value, 0, 195075 / 20 + 1);
                if (!n)
                    return usageError("--merge needs a whole number from 0 to 9754, not \"" + value + "\"");
                strength = *n;
            } else if (arg == "--rare") {
                const auto n = parseInt(value, -32768, 32767);
                if (!n)
                    return usageError("--rare needs a whole number (16 bits), not \"" + value + "\"");
                rare = *n;
            } else {
                brand = value;
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            return usageError("unknown option \"" + arg + "\"");
        } else if (input) {
            return usageError("more than one input file given");
        } else {
            input = arg;
        }
    }
    if (!input)
        return usageError("missing input file");

    ClsDIB picture;
    if (!picture.LoadBitMap(*input))
        return fail("cannot read \"" + *input + "\": " + std::string(errorText(picture.lastError())));
    const int gw = picture.Width();
    const int gh = picture.Height();
    if (gw < 1 || gh < 1 || gw > ChartModel::kMaxSide || gh > ChartModel::kMaxSide) {
        return fail("the picture is " + std::to_string(gw) + " x " + std::to_string(gh)
            + " pixels; a chart takes 1 to 320 stitches a side");
    }
    StitchMatrix stitches;
    for (int y = 0; y < gh; ++y)
        for (int x = 0; x < gw; ++x)
            stitches.set(x, y, picture.pixel24(x, y));

    ChartModel model;
    model.gw = gw;
    model.gh = gh;
    model.whichType = brand;
    const ThreadTable& table = loadedThreadTable();
    const ColorIndexError error
        = generateChartModel(stitches, model, ColorIndexSettings{strength * 20, rare}, table);
    if (error == ColorIndexError::TooManyColors)
        return fail("too many colours: more than 500 distinct colours in the picture");
    if (error == ColorIndexError::UnsupportedBrand)
        return fail("brand \"" + model.whichType + "\" has no thread table (only DMC)");
    if (error != ColorIndexError::None)
        return fail(errorText(error));

    for (const ThreadEntry& entry : model.threadList) {
        const std::string_view symbol = model.symbolOf(entry.index);
        std::cout << (symbol.empty() ? std::string_view("none") : symbol) << ' '
                  << table.dmc(entry.index).cindex << ' ' << entry.count << '\n';
    }
    std::cout << "colorCount " << model.colorCount << '\n' << "maxColor " << model.maxColor << '\n';
    return 0;
}

} // namespace kanvo::cli
