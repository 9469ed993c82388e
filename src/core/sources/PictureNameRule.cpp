#include "core/sources/PictureNameRule.h"

#include <array>

namespace kanvo {

bool PictureNameRule::showsPreview(std::string_view name, Case rule)
{
    static constexpr std::array<std::string_view, 3> kLower{"bmp", "jpg", "gif"};
    static constexpr std::array<std::string_view, 3> kUpper{"BMP", "JPG", "GIF"};
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

} // namespace kanvo
