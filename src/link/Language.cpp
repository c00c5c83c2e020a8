#include "Language.h"

#include <cstdlib>
#include <string_view>

namespace tavolex {

namespace {

// "zh_CN.UTF-8", "zh-Hans-CN" and "zh" all give "zh".
std::string_view LanguageCode(std::string_view name) {
    return name.substr(0, name.find_first_of("_-.@"));
}

bool IsCode(std::string_view name, std::string_view code) {
    const std::string_view own = LanguageCode(name);
    if (own.size() != code.size()) return false;
    for (std::size_t i = 0; i < own.size(); ++i) {
        if ((own[i] | 0x20) != code[i]) return false;
    }
    return true;
}

}  // namespace

Language PreferredLanguage(const std::vector<std::string>& languages) {
    for (const std::string& name : languages) {
        if (IsCode(name, "zh")) return Language::Chinese;
        if (IsCode(name, "en")) return Language::English;
    }
    return Language::English;
}

std::vector<std::string> EnvironmentLanguages() {
    std::vector<std::string> languages;
    if (const char* list = std::getenv("LANGUAGE")) {
        std::string_view rest(list);
        while (!rest.empty()) {
            const std::size_t colon = rest.find(':');
            if (colon != 0) languages.emplace_back(rest.substr(0, colon));
            if (colon == std::string_view::npos) break;
            rest.remove_prefix(colon + 1);
        }
    }
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) {
            languages.emplace_back(value);
            break;
        }
    }
    return languages;
}

}  // namespace tavolex
