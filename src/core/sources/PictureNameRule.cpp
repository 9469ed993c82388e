#include "core/sources/PictureNameRule.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace kanvo {

bool PictureNameRule::showsPreview(std::string_view name, Case rule)
{
    static constexpr std::array<std::string_view, 4> kLower{"bmp", "jpg", "gif", "png"};
    static constexpr std::array<std::string_view, 4> kUpper{"BMP", "JPG", "GIF", "PNG"};
    if (name.size() < 3)
        return false;
    // The suffixes are ASCII, so three bytes are three characters whenever they match.
    const std::string_view tail = name.substr(name.size() - 3);
    for (std::string_view s : kLower) {
        if (tail == s)
            return true;
    }
    if (rule == Case::LowerOrUpper) {
        for (std::string_view s : kUpper) {
            if (tail == s)
                return true;
        }
    }
    return false;
}

bool PictureNameRule::isPictureName(std::string_view name)
{
    static constexpr std::array<std::string_view, 5> kExtensions{".bmp", ".jpg", ".jpeg", ".gif", ".png"};
    const auto lower = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
    return std::any_of(kExtensions.begin(), kExtensions.end(), [&](std::string_view extension) {
        return name.size() > extension.size()
            && std::equal(extension.begin(), extension.end(), name.end() - extension.size(),
                          [&](char e, char c) { return e == lower(c); });
    });
}

} // namespace kanvo
