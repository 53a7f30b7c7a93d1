#include "common/TextList.h"

#include <gtest/gtest.h>

using namespace quarto;

TEST(TextList, LineBreaks) {
    using Lines = std::vector<std::string>;
    struct Case {
        std::string text;
        Lines expected;
    } cases[] = {
        {"", {}},
        {"one", {"one"}},
        {"one\r\ntwo\r\n", {"one", "two"}},
        {"one\rtwo\nthree", {"one", "two", "three"}},
        {"a\n\nb", {"a", "", "b"}},
        {"a\r\n\r\n", {"a", ""}},
        {"\n", {""}},
        {"a\n\r", {"a", ""}}, // LF then a lone CR: two breaks
        {std::string("a\nb\0c\nd", 7), {"a", "b"}},
        {std::string("\0abc", 4), {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitTextList(c.text), c.expected) << "text: " << c.text;
}
