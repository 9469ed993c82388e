#include "core/project/PaletteItemMatcher.h"

#include <cctype>
#include <string>

#include "core/palette/NearestThread.h"

namespace kanvo {

namespace {

[[nodiscard]] bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

[[nodiscard]] std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

[[nodiscard]] bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    return true;
}

// text without blanks around it and without a leading "DMC" and the separators after it.
[[nodiscard]] std::string_view withoutBrand(std::string_view text)
{
    text = trimmed(text);
    if (startsWithNoCase(text, "DMC")) {
        text.remove_prefix(3);
        while (!text.empty() && (isBlank(text.front()) || text.front() == '-' || text.front() == ':'
                                    || text.front() == '#' || text.front() == '_'))
            text.remove_prefix(1);
    }
    return text;
}

} // namespace

PaletteItemMatcher::PaletteItemMatcher(const ThreadTable& table) : table_(table)
{
    for (int t = ThreadTable::kThreads; t >= 1; --t)
        threadOfNumber_[table.dmc(t).cindex] = t; // the lowest index is written last
}

std::optional<int> PaletteItemMatcher::dmcNumber(std::string_view text)
{
    text = withoutBrand(text);
    if (startsWithNoCase(text, "B5200"))
        text.remove_prefix(1);
    // Card numbers have at most four digits; a longer run is not a thread of ours.
    if (text.empty() || text.size() > 4)
        return std::nullopt;
    int number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        number = number * 10 + (c - '0');
    }
    return number;
}

std::optional<ColorValue> PaletteItemMatcher::namedColor(std::string_view text)
{
    text = withoutBrand(text);
    const auto is = [text](std::string_view name) { return text.size() == name.size() && startsWithNoCase(text, name); };
    if (is("BLANC"))
        return makeColor(0xFF, 0xFF, 0xFF);
    if (is("ECRU"))
        return makeColor(0xF0, 0xEA, 0xDA);
    return std::nullopt;
}

std::optional<PaletteItemMatcher::Match> PaletteItemMatcher::match(std::string_view number, std::optional<ColorValue> color) const
{
    if (const std::optional<int> dmc = dmcNumber(number)) {
        const auto it = threadOfNumber_.find(*dmc);
        if (it != threadOfNumber_.end())
            return Match{it->second, false};
    }
    if (!color)
        color = namedColor(number);
    if (!color)
        return std::nullopt;
    // The search is built once per table and kept, not once per file.
    return Match{NearestThread::forTable(table_).nearest(*color), true};
}

} // namespace kanvo
