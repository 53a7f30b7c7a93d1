// quarto-tool's command line: its options and its commands, one table from which the tool
// dispatches and prints its usage.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quarto {

class TTool;

// An option given before the command.
struct TToolOption {
    std::string_view Name;  // "--app"
    std::string_view Value; // "DIR"
    bool Repeatable = false;
};

// The parts of the usage text: the commands that read an edition, and those that author one.
enum class TToolSection { Reading, Authoring };

struct TToolCommand {
    std::string_view Name; // "page"
    // The arguments after the name as the usage spells them; a line break continues them on
    // a line of their own, under the first argument.
    std::string_view Synopsis;
    // The usage's lines about the command; empty for one the command before it describes
    // (the usage then names both on one line: "audio, video").
    std::string_view Help;
    TToolSection Section = TToolSection::Reading;
    int (TTool::*Handler)() = nullptr;
};

// The options before the command, in the order of the usage's first line.
std::span<const TToolOption> ToolOptions();
// Every command, in the order of the usage.
std::span<const TToolCommand> ToolCommands();
// The text of quarto-tool --help.
std::string ToolUsage();

// quarto-tool itself: args as the program got them, the program first.
int RunQuartoTool(const std::vector<std::string>& args);

} // namespace quarto
