// Translated texts: markers filled in, the translator in force, the compiled-in catalogue, and
// the language the desktop asks for.
#include "Translate.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <array>
#include <string>
#include <vector>

#include "CatalogueTranslator.h"
#include "Language.h"

namespace tavolex {
namespace {

TEST(Substitute, PlacesValuesByTheirNumberWhereverThePatternPutsThem) {
    const std::pair<const char*, std::string> cases[] = {
        {"串口%1对应 %2", "串口3对应 /dev/ttyS2"},
        {"%2 is what port %1 means", "/dev/ttyS2 is what port 3 means"},
        {"group %2 (usermod -aG %2)", "group /dev/ttyS2 (usermod -aG /dev/ttyS2)"},
        // Not a marker: no argument of that number, a zero, a lone sign at the end, a letter.
        {"%3 %0 100% %d", "%3 %0 100% %d"},
        {"", ""},
    };
    for (const auto& [pattern, expected] : cases)
        EXPECT_EQ(Substitute(pattern, {"3", "/dev/ttyS2"}), expected) << pattern;
    // A value that looks like a marker is inserted as it is.
    EXPECT_EQ(Substitute("%1 and %2", {"%2", "x"}), "%2 and x");
}

TEST(Translate, GivesTheSourceUntilATranslatorIsSetAndAgainAfterItIsRemoved) {
    EXPECT_EQ(Translate("Transact", "读数据错误!"), "读数据错误!");
    SetTranslator([](const char* context, const char* source) {
        return std::string(context) + ":" + source + "!";
    });
    EXPECT_EQ(Translate("Transact", "读数据错误!"), "Transact:读数据错误!!");
    SetTranslator(nullptr);
    EXPECT_EQ(Translate("Transact", "读数据错误!"), "读数据错误!");
}

// The table generated from the .ts file carries its texts with the XML entities decoded, and
// speaks English only when installed for English.
TEST(Catalogue, FindsATextByContextAndSourceAndFallsBackToTheSource) {
    const CatalogueEntry entries[] = {{"A", "采集", "Acquire"}, {"B", "采集", "Sample"}};
    EXPECT_EQ(CatalogueTranslation(entries, "A", "采集"), "Acquire");
    EXPECT_EQ(CatalogueTranslation(entries, "B", "采集"), "Sample");
    EXPECT_EQ(CatalogueTranslation(entries, "C", "采集"), "采集");
    EXPECT_EQ(CatalogueTranslation(entries, "A", "停止"), "停止");
    InstallCatalogue(Language::English);
    EXPECT_EQ(Translate("ContinuousAcquisition", "显示保存选项(&R)"), "Show &Recording Options");
    EXPECT_EQ(Translate("PortOpenFailure",
                        "请插上仪器的串口适配器,用菜单“选择串口”(或“串口号:”旁的“…”按钮)选择它。"),
              "Plug in the instrument's serial adapter and choose it with the menu \"Choose "
              "Serial Port\" (or the \"\u2026\" button beside \"Port:\").");
    InstallCatalogue(Language::Chinese);
    EXPECT_EQ(Translate("ContinuousAcquisition", "显示保存选项(&R)"), "显示保存选项(&R)");
}

TEST(Language, ChineseWhenTheDesktopPrefersItEnglishOtherwise) {
    using List = std::vector<std::string>;
    for (const List& chinese :
         {List{"zh_CN.UTF-8"}, {"zh-Hans-CN", "en-US"}, {"de", "zh_TW"}, {"ZH"}})
        EXPECT_EQ(PreferredLanguage(chinese), Language::Chinese) << chinese.front();
    for (const List& english : {List{"en-US", "zh-CN"}, {"de_DE.UTF-8"}, {"C.UTF-8"}, {"zhx"}, {}})
        EXPECT_EQ(PreferredLanguage(english), Language::English)
            << ::testing::PrintToString(english);
}

#ifndef _WIN32
// The environment's list: LANGUAGE's entries first, then the first locale variable set.
TEST(Language, TheEnvironmentListsLanguageThenTheFirstLocaleVariable) {
    const auto set = [](std::array<const char*, 4> values) {
        const char* const names[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
        for (int i = 0; i < 4; ++i)
            values[i] ? setenv(names[i], values[i], 1) : unsetenv(names[i]);
        return EnvironmentLanguages();
    };
    using List = std::vector<std::string>;
    EXPECT_EQ(set({}), List{});
    EXPECT_EQ(set({nullptr, nullptr, nullptr, "zh_CN.UTF-8"}), List{"zh_CN.UTF-8"});
    EXPECT_EQ(set({nullptr, "", "de_DE", "zh_CN"}), List{"de_DE"});
    EXPECT_EQ(set({"fr:zh_CN::en", "C.UTF-8"}), (List{"fr", "zh_CN", "en", "C.UTF-8"}));
    EXPECT_EQ(PreferredLanguage(set({"zh_CN", nullptr, nullptr, "C.UTF-8"})), Language::Chinese);
    EXPECT_EQ(PreferredLanguage(set({nullptr, nullptr, nullptr, "C.UTF-8"})), Language::English);
}
#endif

}  // namespace
}  // namespace tavolex
