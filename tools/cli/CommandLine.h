#pragma once

#include <charconv>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace kanvo::cli {

// The exit code of a refused command line or a failed run.
inline constexpr int kFailed = 2;

// Prints "kanvo-cli COMMAND: message" on stderr and returns kFailed.
inline int reportFailure(std::string_view command, const std::string& message)
{
    std::cerr << "kanvo-cli " << command << ": " << message << '\n';
    return kFailed;
}

// A command line that cannot be run as given: the one line of reportFailure, then where to
// look. command is empty for an error before any command.
inline int reportUsageError(std::string_view command, const std::string& message)
{
    const std::string name = command.empty() ? std::string("kanvo-cli") : "kanvo-cli " + std::string(command);
    std::cerr << name << ": " << message << "\nTry '" << name << " --help' for more information.\n";
    return kFailed;
}

// The whole of text as a decimal number from low to high; nullopt otherwise ("12x", "", "1e3").
inline std::optional<int> parseInt(const std::string& text, int low, int high)
{
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

} // namespace kanvo::cli
