// kanvo-cli: the program's algorithms from the command line, for scripts and tests.

#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "Commands.h"

namespace {

struct Command {
    std::string_view name;
    int (*run)(kanvo::cli::CommandArgs args);
    std::string_view usage;
};

// One row per command.
constexpr Command kCommands[] = {
    {"reduce", kanvo::cli::runReduce,
        "reduce --method 1bit|2bit|3bit|4bit|216|8bit|16bit [--no-rotate] IN.bmp -o OUT.bmp"},
    {"legend", kanvo::cli::runLegend, "legend IN.bmp [--merge N] [--rare T] [--brand DMC]"},
#ifdef KANVO_CLI_CHART
    {"chart", kanvo::cli::runChart,
        "chart IN [-o OUT.bmp|OUT.png|OUT.pdf|OUT.oxs] [--width N] [--height N] [--whole] [--zoom N]\n"
        "      [--method 216|3bit|4bit|2bit|8bit|1bit|none|threads] [--merge N] [--rare T]\n"
        "      [--threads 2..120] [--dither 0..100] [--cleanup K]\n"
        "      [--mode blocks|symbols|both] [--block W H] [--title T] [--legend FILE.csv] [--grid FILE.csv]\n"
        "      [--pattern FILE.pdf [--paper A4|Letter] [--fabric N] [--cell-mm X] [--overlap N]]\n"
        "      IN is a picture, or a chart project IN.oxs (read as it is: no fitting or reduction)"},
#endif
};

void printUsage(std::ostream& out)
{
    out << "usage: kanvo-cli [--lang zh|en] COMMAND [ARGUMENTS]\n";
    for (const Command& command : kCommands) {
        out << "  kanvo-cli " << command.usage << '\n';
    }
}

// Takes "--lang zh|en" out of args (anywhere); false after a usage error.
bool takeLanguage(std::vector<std::string>& args)
{
    for (auto it = args.begin(); it != args.end(); ++it) {
        if (*it != "--lang")
            continue;
        if (it + 1 == args.end() || (it[1] != "zh" && it[1] != "en")) {
            std::cerr << "kanvo-cli: option --lang needs zh or en"
                      << (it + 1 == args.end() ? std::string() : ", not \"" + it[1] + "\"") << '\n';
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
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!takeLanguage(args))
        return 2;
    if (args.empty()) {
        std::cerr << "kanvo-cli: no command given\n";
        printUsage(std::cerr);
        return 2;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        printUsage(std::cout);
        return 0;
    }
    for (const Command& command : kCommands) {
        if (args[0] == command.name) {
            return command.run(kanvo::cli::CommandArgs(args).subspan(1));
        }
    }
    std::cerr << "kanvo-cli: unknown command \"" << args[0] << "\"\n";
    printUsage(std::cerr);
    return 2;
}
