#include "Translate.h"

#include <atomic>
#include <vector>

namespace tavolex {

namespace {

std::atomic<Translator> g_translator{nullptr};

}  // namespace

void SetTranslator(Translator translator) {
    g_translator.store(translator);
}

std::string Translate(const char* context, const char* source) {
    const Translator translator = g_translator.load();
    return translator ? translator(context, source) : std::string(source);
}

std::string Substitute(std::string_view pattern, std::initializer_list<std::string_view> args) {
    const std::vector<std::string_view> values(args);
    std::string text;
    text.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const bool marker = pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' &&
                            pattern[i + 1] <= '9';
        const std::size_t index = marker ? static_cast<std::size_t>(pattern[i + 1] - '1') : 0;
        if (marker && index < values.size()) {
            text += values[index];
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

}  // namespace tavolex
