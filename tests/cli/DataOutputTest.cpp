// The output formats: fields that carry the characters each format must escape.
#include <gtest/gtest.h>

#include <sstream>

#include "DataOutput.h"

namespace tavolex::cli {
namespace {

std::string Written(Format format, const std::vector<Row>& rows, bool vertical = false) {
    std::ostringstream out;
    DataOutput output(out, format, vertical);
    for (const Row& row : rows)
        output.write(row);
    return out.str();
}

const std::vector<Row> kRows = {
    {{"名称", "say \"hi\", then\nleave", false}, {"值", "-1.5", true}, {"空", "", true}},
    {{"名称", "back\\slash\x01", false}, {"值", "--", true}, {"空", "7", true}},
};

TEST(DataOutput, EachFormatKeepsEveryFieldApart) {
    EXPECT_EQ(Written(Format::Json, kRows),
              "{\"名称\":\"say \\\"hi\\\", then\\nleave\",\"值\":-1.5,\"空\":null}\n"
              "{\"名称\":\"back\\\\slash\\u0001\",\"值\":\"--\",\"空\":7}\n");
    EXPECT_EQ(Written(Format::Csv, kRows),
              "名称,值,空\n\"say \"\"hi\"\", then\nleave\",-1.5,\nback\\slash\x01,--,7\n");
    EXPECT_EQ(Written(Format::Text, {kRows[1]}), "back\\slash\x01\t--\t7\n");
    EXPECT_EQ(Written(Format::Text, {kRows[1]}, true), "名称\tback\\slash\x01\n值\t--\n空\t7\n");
}

}  // namespace
}  // namespace tavolex::cli
