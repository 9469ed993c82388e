#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

namespace kanvo {

// The texts the core shows to the user (chart heading and legend, pattern pages, printed page,
// status lines and error messages) are written in Chinese, the program's source language. The
// program installs a translator for the chosen language at start (the Qt side hands each text to
// Qt Linguist's tables); without one the Chinese text stands. Calls read as
// translate("Context", "源文本"), so Qt's lupdate collects them like the program's own tr() texts.

// A translation of `source` (UTF-8) in `context`; an empty result keeps the source text.
using Translator = std::function<std::string(const char* context, const char* source)>;

// Installs `translator` for every later translate(); an empty one restores the Chinese texts.
// Not thread-safe: call it before any work starts.
void setTranslator(Translator translator);

// `source` in the chosen language, or `source` itself without a translation.
[[nodiscard]] std::string translate(const char* context, const char* source);

// Marks a Chinese text that the core keeps unchanged and that is translated only where it is
// shown: a list choice stored as the setting's value, a constant that tests compare. lupdate
// collects it like translate(context, text).
[[nodiscard]] constexpr const char* sourceText(const char* /*context*/, const char* text) { return text; }

// `text` with %1 .. %9 replaced by values[0] .. values[8], like QString::arg(): a translation may
// reorder the values. A marker without a value stays as it is.
[[nodiscard]] std::string withArgs(std::string_view text, std::initializer_list<std::string_view> values);

} // namespace kanvo
