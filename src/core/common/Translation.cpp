#include "core/common/Translation.h"

#include <utility>

namespace kanvo {

namespace {

Translator& installed()
{
    static Translator translator;
    return translator;
}

} // namespace

void setTranslator(Translator translator) { installed() = std::move(translator); }

std::string translate(const char* context, const char* source)
{
    if (const Translator& translator = installed()) {
        std::string text = translator(context, source);
        if (!text.empty())
            return text;
    }
    return source;
}

std::string withArgs(std::string_view text, std::initializer_list<std::string_view> values)
{
    std::string out;
    out.reserve(text.size() + 16 * values.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t n = i + 1 < text.size() ? static_cast<std::size_t>(text[i + 1] - '1') : values.size();
        if (text[i] == '%' && n < values.size() && n < 9) {
            out += values.begin()[n];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace kanvo
