#pragma once

namespace kanvo {

// Maps the font names the program's windows ask for onto fonts a Debian desktop has:
// "MS Sans Serif" and "Arial" to Liberation Sans, "宋体" to WenQuanYi Micro Hei. Call once at
// start-up, after the QApplication exists and before any window is created.
void installFontSubstitutions();

} // namespace kanvo
