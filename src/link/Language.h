// The language the program speaks: Chinese, the source of every text, when the desktop's
// languages prefer Chinese; English otherwise. The window and the command-line client choose
// by the same rule.
#pragma once

#include <string>
#include <vector>

namespace tavolex {

enum class Language { Chinese, English };

// The first of the languages (most wanted first, as "zh_CN.UTF-8", "zh-Hans-CN", "en_GB" or
// "de") that is Chinese or English; English when none is either.
Language PreferredLanguage(const std::vector<std::string>& languages);

// The desktop's languages from the environment, most wanted first: the entries of LANGUAGE
// (separated by colons), then the first of LC_ALL, LC_MESSAGES and LANG that is set. Empty
// when none is set.
std::vector<std::string> EnvironmentLanguages();

}  // namespace tavolex
