// The one rule for shortcut names, shared by every platform's shortcuts and the fake.
#include "Shortcuts.h"

#include <string_view>

namespace quarto {

bool IsShortcutName(const std::string& name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    for (const char c : name)
        if (static_cast<unsigned char>(c) < 32 ||
            std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos)
            return false;
    return true;
}

} // namespace quarto
