// Text lists: list files read whole as 1251 text and split into lines at CR LF, a lone CR or
// a lone LF. A line break at the very end adds no empty line; a NUL byte ends the text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quarto {

std::vector<std::string> SplitTextList(std::string_view text);
// Reads a list file; throws EStreamError naming the file when it cannot be read.
std::vector<std::string> ReadTextList(const std::string& path);

} // namespace quarto
