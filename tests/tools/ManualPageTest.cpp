// quarto-tool's manual page against its table of commands: the page names every command and
// every option the tool takes, as the tag of an entry.
#include "common/FileSystem.h"
#include "tools/QuartoTool.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

using namespace quarto;

namespace {

// The words of the page's entry tags (the line after each .TP), with roff's font changes,
// quotes and escaped hyphens taken out: "\fBpage\fR [\fB\-\-mark\fR ..." gives page, --mark,
// ... .
std::set<std::string> TagWords(const std::string& page) {
    std::set<std::string> words;
    std::istringstream lines(page);
    bool tag = false;
    for (std::string line; std::getline(lines, line);) {
        const bool isTag = tag;
        tag = line.rfind(".TP", 0) == 0;
        if (!isTag)
            continue;
        std::string text;
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line.compare(i, 2, "\\f") == 0 && i + 2 < line.size()) {
                i += 2;
                text += ' ';
            } else if (line.compare(i, 2, "\\-") == 0) {
                text += '-';
                ++i;
            } else {
                text += line[i];
            }
        }
        if (text.rfind(".B", 0) == 0 || text.rfind(".I", 0) == 0)
            text = text.substr(text.find(' ') + 1);
        std::string word;
        for (const char c : text + ' ') {
            if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                (c >= 'A' && c <= 'Z') || c == '_') {
                word += c;
            } else if (!word.empty()) {
                words.insert(word);
                word.clear();
            }
        }
    }
    return words;
}

TEST(ToolCommands, TheManualPageNamesEveryCommandAndEveryOption) {
    const std::set<std::string> tags = TagWords(ReadWholeFile(QUARTO_MANUAL));
    ASSERT_TRUE(tags.count("list")) << "no command entries read from " << QUARTO_MANUAL;
    std::set<std::string> names;
    for (const TToolOption& option : ToolOptions())
        EXPECT_TRUE(tags.count(std::string(option.Name))) << option.Name;
    for (const TToolCommand& command : ToolCommands()) {
        EXPECT_TRUE(names.insert(std::string(command.Name)).second)
            << "two commands named " << command.Name;
        EXPECT_NE(command.Handler, nullptr) << command.Name;
        EXPECT_TRUE(tags.count(std::string(command.Name))) << command.Name;
        // Every option the synopsis spells, "--mark" of "[--mark WORDS] N".
        const std::string synopsis(command.Synopsis);
        for (std::size_t at = synopsis.find("--"); at != std::string::npos;
             at = synopsis.find("--", at + 2)) {
            const std::size_t end = synopsis.find_first_of(" ]\n", at);
            const std::string option = synopsis.substr(at, end - at);
            EXPECT_TRUE(tags.count(option)) << command.Name << " " << option;
            at = end == std::string::npos ? synopsis.size() : end;
        }
    }
}

} // namespace
