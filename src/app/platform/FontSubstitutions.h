#pragma once

#include <optional>

#include <QString>

namespace kanvo {

// Maps the font names the program's windows ask for onto fonts a Debian desktop has:
// "MS Sans Serif" and "Arial" to Liberation Sans, "宋体" to WenQuanYi Micro Hei. Call once at
// start-up, after the QApplication exists and before any window is created.
void installFontSubstitutions();

// The shipped fontconfig alias file, found like the other shipped files (AppPaths).
inline constexpr const char* kFontAliasFile = "kanvo-fonts.conf";

// Adds the shipped alias file to the process's fontconfig configuration, so that fontconfig's
// own lookups (the fallback fonts Qt asks it for, glyphs a named font lacks) resolve the same
// names as installFontSubstitutions(). Returns the file loaded; empty when none was found or
// fontconfig refused it, in which case the substitutions above still hold.
std::optional<QString> loadFontAliasFile();

} // namespace kanvo
