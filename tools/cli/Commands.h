#pragma once

#include <span>
#include <string>

namespace kanvo::cli {

// Every command of kanvo-cli: gets the arguments after its name, prints its own errors as one
// line on stderr, returns the process exit code (0 on success). A new command adds one
// declaration here and one row to the table in main.cpp.
using CommandArgs = std::span<const std::string>;

// The language of the texts a command draws or writes (chart heading, legend, pattern pages):
// "zh" (the default) or "en", from the global option --lang.
inline std::string textLanguage = "zh";

[[nodiscard]] int runReduce(CommandArgs args);
[[nodiscard]] int runLegend(CommandArgs args);
#ifdef KANVO_CLI_CHART
[[nodiscard]] int runChart(CommandArgs args); // needs the Qt side of the program
#endif

} // namespace kanvo::cli
