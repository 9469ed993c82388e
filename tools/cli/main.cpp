// kanvo-cli: the program's algorithms from the command line, for scripts and tests.

#include <algorithm>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "CommandLine.h"
#include "Commands.h"

namespace {

struct Command {
    std::string_view name;
    int (*run)(kanvo::cli::CommandArgs args);
    std::string_view usage;
    std::string_view summary;
};

// One row per command.
constexpr Command kCommands[] = {
    {"reduce", kanvo::cli::runReduce,
        "reduce --method 1bit|2bit|3bit|4bit|216|8bit|16bit [--no-rotate] IN.bmp -o OUT.bmp",
        "Reduces a 24-bit BMP with one of the ordered-dither colour converters."},
    {"legend", kanvo::cli::runLegend, "legend IN.bmp [--merge N] [--rare T] [--brand DMC]",
        "Prints the thread legend of a BMP taken one pixel per stitch."},
#ifdef KANVO_CLI_CHART
    {"chart", kanvo::cli::runChart,
        "chart IN [-o OUT.bmp|OUT.png|OUT.pdf|OUT.oxs] [--width N] [--height N] [--whole] [--zoom N]\n"
        "      [--method 216|3bit|4bit|2bit|8bit|1bit|none|threads] [--merge N] [--rare T]\n"
        "      [--threads 2..120] [--dither 0..100] [--cleanup K]\n"
        "      [--mode blocks|symbols|both] [--block W H] [--title T] [--legend FILE.csv] [--grid FILE.csv]\n"
        "      [--background TOL]  (empties the background joined to the border within TOL, CIEDE2000)\n"
        "      [--pattern FILE.pdf [--paper A4|Letter] [--fabric N] [--cell-mm X] [--overlap N]]\n"
        "      IN is a picture (BMP, JPEG, GIF or PNG), or a chart project IN.oxs (read as it is: no\n"
        "      fitting or reduction)",
        "Makes a chart from a picture: at least one of -o, --pattern, --legend and --grid."},
#endif
};

void printUsage(std::ostream& out)
{
    out << "usage: kanvo-cli [--lang zh|en] COMMAND [ARGUMENTS]\n"
           "       kanvo-cli help [COMMAND] | --help | --version\n";
    for (const Command& command : kCommands)
        out << "  kanvo-cli " << command.usage << '\n';
    out << "Run 'kanvo-cli help COMMAND' for one command; see also kanvo-cli(1).\n";
}

void printCommandUsage(const Command& command)
{
    std::cout << "usage: kanvo-cli " << command.usage << '\n' << command.summary << '\n';
}

const Command* findCommand(std::string_view name)
{
    for (const Command& command : kCommands)
        if (command.name == name)
            return &command;
    return nullptr;
}

bool isHelpOption(std::string_view arg) { return arg == "--help" || arg == "-h"; }

// Takes "--lang zh|en" out of args (anywhere); false after a usage error.
bool takeLanguage(std::vector<std::string>& args)
{
    for (auto it = args.begin(); it != args.end(); ++it) {
        if (*it != "--lang")
            continue;
        if (it + 1 == args.end() || (it[1] != "zh" && it[1] != "en")) {
            kanvo::cli::reportUsageError({}, it + 1 == args.end() ? std::string("option --lang needs zh or en")
                                                                  : "option --lang needs zh or en, not \"" + it[1] + "\"");
            return false;
        }
        kanvo::cli::textLanguage = it[1];
        args.erase(it, it + 2);
        return true;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    using kanvo::cli::reportUsageError;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!takeLanguage(args))
        return 2;
    if (args.empty())
        return reportUsageError({}, "no command given");
    if (isHelpOption(args[0]) || (args[0] == "help" && args.size() == 1)) {
        printUsage(std::cout);
        return 0;
    }
    if (args[0] == "--version") {
        std::cout << "kanvo-cli " << KANVO_VERSION << '\n';
        return 0;
    }
    if (args[0] == "help") {
        const Command* command = findCommand(args[1]);
        if (command == nullptr || args.size() > 2)
            return reportUsageError({}, "help takes one command name, not \"" + args.back() + "\"");
        printCommandUsage(*command);
        return 0;
    }
    const Command* command = findCommand(args[0]);
    if (command == nullptr)
        return reportUsageError({}, "unknown command \"" + args[0] + "\"");
    const kanvo::cli::CommandArgs rest = kanvo::cli::CommandArgs(args).subspan(1);
    if (std::any_of(rest.begin(), rest.end(), [](const std::string& arg) { return isHelpOption(arg); })) {
        printCommandUsage(*command);
        return 0;
    }
    return command->run(rest);
}
