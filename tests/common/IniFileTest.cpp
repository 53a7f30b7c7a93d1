#include "common/IniFile.h"

#include <gtest/gtest.h>

using namespace quarto;

TEST(IniFile, StringRules) {
    const TIniFile ini("[Main]\r\n"
                       "Title =  Spaced value \t\r\n"
                       "title=second title is ignored\r\n"
                       "Quoted=\"in quotes\"\n"
                       "Single='single'\n"
                       "Half=\"half\n"
                       "Mixed=\"mixed'\n"
                       "Equals=a=b=c\n"
                       "Empty=\n"
                       "no equals sign here\n"
                       "[main]\n"
                       "Other=from the second section of the same name\n"
                       "[Options]\r"
                       "Audio=1\r");
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"Main", "Title", "Spaced value"}, {"MAIN", "TITLE", "Spaced value"},
        {"Main", "Quoted", "in quotes"},   {"Main", "Single", "single"},
        {"Main", "Half", "\"half"},        {"Main", "Mixed", "\"mixed'"},
        {"Main", "Equals", "a=b=c"},       {"Main", "Empty", ""},
        {"Main", "Other", "default"},      {"Main", "Missing", "default"},
        {"Nowhere", "Title", "default"},   {"options", "audio", "1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ini.ReadString(c.section, c.key, "default"), c.expected)
            << c.section << "/" << c.key;
}

TEST(IniFile, LongValuesAreCut) {
    const TIniFile ini("[S]\nK=" + std::string(3000, 'x') + "\n");
    EXPECT_EQ(ini.ReadString("S", "K", "").size(), 2047u);
}

TEST(IniFile, CyrillicNamesIgnoreCase) {
    const TIniFile ini("[\xD0\xE0\xE7\xE4\xE5\xEB]\n\xCA\xEB\xFE\xF7=1\n"); // [Раздел] Ключ=1
    EXPECT_EQ(ini.ReadInteger("\xF0\xC0\xC7\xC4\xC5\xCB", "\xEA\xCB\xDE\xD7", 0), 1);
}

TEST(IniFile, Integers) {
    struct Case {
        const char* value;
        std::int32_t expected;
    } cases[] = {
        {"1", 1},
        {"0", 0},
        {"-17", -17},
        {"+5", 5},
        {"0x1", 1},
        {"0X1F", 31},
        {"$1", 1},
        {"$ff", 255},
        {"$FFFFFFFF", -1},
        {"0x", -99},
        {"$", -99},
        {"0x1G", -99},
        {"yes", -99},
        {"", -99},
        {"1.5", -99},
        {"12abc", -99},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", -99},
        {"$123456789", -99},
        {"\"7\"", 7},
        {"  42  ", 42},
        {"-", -99},
        {"0x0x1", -99},
    };
    for (const Case& c : cases) {
        const TIniFile ini(std::string("[S]\nK=") + c.value + "\n");
        EXPECT_EQ(ini.ReadInteger("S", "K", -99), c.expected) << "value: " << c.value;
    }
    EXPECT_EQ(TIniFile("[S]\n").ReadInteger("S", "K", 7), 7);
}

TEST(IniFile, MissingFileGivesDefaults) {
    const TIniFile ini = TIniFile::Load("/nonexistent/folder/setup.inf");
    EXPECT_EQ(ini.ReadString("Main", "Title", "none"), "none");
}
