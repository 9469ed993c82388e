#include "core/palette/SymbolSet.h"

#include <array>
#include <string_view>

namespace kanvo {

namespace {

// The symbol groups in symbol order. The first leaves out i, j, l, o, C, 0 and 1, which are
// easily mistaken for one another on paper; the later groups repeat a few characters, so some
// late threads share a symbol with an earlier one.
constexpr std::array<std::string_view, 8> kGroups{
    "abcdefghkmnpqrstuvwxyz-+=:()23456789@#$%*<>?/\\{}ABDEFGHIJKLMNOPQRSTUVWXYZ",
    "&[]",
    "人了少手认台才必李众走包王么亚采女",
    "不为工上个开方王于长本月力万后下",
    "去也与之文三各十内小力立了心术门今",
    "长光广比必已衣乙义车书干又由少手几只头五氏白才走户马土占石米",
    "千巴八失足九而儿耳尔为未乐存寸羊央以父负分目母木亩象向计世华化花者吁节杰行言严",
    "其气色四司大打北备被贝句举林吝见尖荐加甲夹示式求丘但丹无山办半两良次天田农千前多夺和合何年廿",
};

// Length of the UTF-8 sequence that starts with `lead`; a stray continuation byte counts alone.
std::size_t sequenceLength(unsigned char lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

} // namespace

std::vector<std::string> loadxiuChr()
{
    std::vector<std::string> symbols;
    symbols.reserve(kSymbolCount);
    for (const std::string_view group : kGroups) {
        for (std::size_t i = 0; i < group.size();) {
            const std::size_t n = sequenceLength(static_cast<unsigned char>(group[i]));
            symbols.emplace_back(group.substr(i, n));
            i += n;
        }
    }
    return symbols;
}

} // namespace kanvo
