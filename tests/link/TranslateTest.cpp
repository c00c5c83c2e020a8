#include "Translate.h"

#include <gtest/gtest.h>

#include <string>

namespace tavolex {
namespace {

TEST(Substitute, PlacesValuesByTheirNumberWhereverThePatternPutsThem) {
    const struct {
        const char* pattern;
        std::string expected;
    } cases[] = {
        {"串口%1对应 %2", "串口3对应 /dev/ttyS2"},
        {"%2 is what port %1 means", "/dev/ttyS2 is what port 3 means"},
        {"group %2 (usermod -aG %2)", "group /dev/ttyS2 (usermod -aG /dev/ttyS2)"},
        // Not a marker: no argument of that number, a zero, a lone sign at the end, a letter.
        {"%3 %0 100% %d", "%3 %0 100% %d"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Substitute(c.pattern, {"3", "/dev/ttyS2"}), c.expected) << c.pattern;
}

TEST(Substitute, InsertsAValueThatLooksLikeAMarkerAsItIs) {
    EXPECT_EQ(Substitute("%1 and %2", {"%2", "x"}), "%2 and x");
}

std::string Shouting(const char* context, const char* source) {
    return std::string(context) + ":" + source + "!";
}

TEST(Translate, GivesTheSourceUntilATranslatorIsSetAndAgainAfterItIsRemoved) {
    EXPECT_EQ(Translate("Transact", "读数据错误!"), "读数据错误!");
    SetTranslator(&Shouting);
    EXPECT_EQ(Translate("Transact", "读数据错误!"), "Transact:读数据错误!!");
    SetTranslator(nullptr);
    EXPECT_EQ(Translate("Transact", "读数据错误!"), "读数据错误!");
}

}  // namespace
}  // namespace tavolex
