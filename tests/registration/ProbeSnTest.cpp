#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ProbeSn.h"
#include "RegistrationFile.h"

namespace tavolex {
namespace {

namespace fs = std::filesystem;

const ProbeSn kSn{0x28, 0xFF, 0x64, 0x1E, 0x0F, 0x00, 0x00, 0x9A};

TEST(ProbeSn, TextFormsUseUpperCaseHexAndATwoDigitChannel) {
    EXPECT_EQ(SnDisplayText(kSn), "28-FF-64-1E-0F-00-00-9A");
    EXPECT_EQ(RegistrationLine("02", 7, kSn), "02:07:28-FF-64-1E-0F-00-00-9A");
    EXPECT_EQ(RegistrationLine("01", 64, kSn).size(), 29u);
    EXPECT_EQ(RegistrationLine("01", 100, kSn), "01:100:28-FF-64-1E-0F-00-00-9A");
}

TEST(ProbeSn, SnFieldTakesZeroToTwoUpperCaseHexDigits) {
    EXPECT_EQ(ParseSnField(""), 0x00);
    EXPECT_EQ(ParseSnField("0"), 0x00);
    EXPECT_EQ(ParseSnField("28"), 0x28);
    EXPECT_EQ(ParseSnField("F"), 0x0F);
    EXPECT_EQ(ParseSnField("FF"), 0xFF);
    EXPECT_EQ(ParseSnField("028"), std::nullopt);
    EXPECT_EQ(ParseSnField("ff"), std::nullopt);
    EXPECT_EQ(ParseSnField("G0"), std::nullopt);
    EXPECT_EQ(ParseSnField(" 1"), std::nullopt);
}

TEST(RegistrationLine, WellFormedLinesGiveTheBytesToSend) {
    const auto parsed = ParseRegistrationLine("  02:05:28-FF-64-1E-0F-00-00-9A\r\n");
    ASSERT_TRUE(std::holds_alternative<FileRegistration>(parsed));
    const auto& line = std::get<FileRegistration>(parsed);
    EXPECT_EQ(line.port, 2);
    EXPECT_EQ(line.channel, 5);
    EXPECT_EQ(line.sn, kSn);
    // Port and channel digits are not checked: the instrument decides.
    EXPECT_EQ(
        std::get<FileRegistration>(ParseRegistrationLine("03:99:28-00-00-00-00-00-00-00")).port, 3);
    EXPECT_EQ(
        std::get<FileRegistration>(ParseRegistrationLine("0A:00:28-00-00-00-00-00-00-00")).port,
        static_cast<std::uint8_t>(10 * 0 + ('A' - '0')));
}

TEST(RegistrationLine, BadLinesAreTellApartFormatFromSerialNumber) {
    for (const char* bad : {"", "02:05:28-FF-64-1E-0F-00-00-9", "02:05:28-FF-64-1E-0F-00-00-9A0",
                            "02-05:28-FF-64-1E-0F-00-00-9A", "02:05:28:FF-64-1E-0F-00-00-9A",
                            "02:05:28-FF-64-1E-0F-00-00 9A"}) {
        EXPECT_EQ(std::get<LineError>(ParseRegistrationLine(bad)), LineError::Format) << bad;
    }
    for (const char* bad : {"02:05:28-ff-64-1E-0F-00-00-9A", "02:05:27-FF-64-1E-0F-00-00-9A",
                            "02:05:28-FF-64-1E-0F-00-0G-9A"}) {
        EXPECT_EQ(std::get<LineError>(ParseRegistrationLine(bad)), LineError::Sn) << bad;
    }
}

TEST(RegistrationFile, LinesAreReadLikeATextFileInPiecesOf1023Characters) {
    const fs::path path = fs::temp_directory_path() / "tavolex-registration-file.txt";
    {
        std::ofstream out(path, std::ios::binary);
        out << "01:01:28-FF-64-1E-0F-00-00-9A\r\n\n" << std::string(1500, 'x') << "\nlast\n";
    }
    const auto lines = ReadRegistrationFile(path);
    ASSERT_TRUE(lines);
    ASSERT_EQ(lines->size(), 5u);
    EXPECT_EQ((*lines)[1], "\n");
    EXPECT_EQ((*lines)[2].size(), 1023u);
    EXPECT_EQ((*lines)[3].size(), 1500u - 1023u + 1u);
    EXPECT_EQ((*lines)[4], "last\n");
    fs::remove(path);
    EXPECT_FALSE(ReadRegistrationFile(path));
}

}  // namespace
}  // namespace tavolex
