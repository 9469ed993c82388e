#pragma once

#include <string_view>

namespace kanvo {

// Which file names the file chooser lists, and which the file chooser and the gallery preview.
// The previews look at the last three characters only, so "photo.jpeg" or a name with no dot
// never previews, while "logo.dll" needs no preview to be loaded: the preview rule decides the
// preview, never whether a file may be loaded.
class PictureNameRule {
public:
    enum class Case {
        LowerOnly,      // the file chooser: "bmp", "jpg", "gif", "png"
        LowerOrUpper,   // the gallery: those or "BMP", "JPG", "GIF", "PNG"; mixed case does not count
    };

    // name is the file name in UTF-8 (a path works too; only its end is looked at).
    [[nodiscard]] static bool showsPreview(std::string_view name, Case rule);

    // Whether the name ends in the extension of a picture type the program opens: ".bmp", ".jpg",
    // ".jpeg", ".gif" or ".png", in any case. The file chooser lists only these.
    [[nodiscard]] static bool isPictureName(std::string_view name);
};

} // namespace kanvo
