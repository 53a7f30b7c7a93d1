// The menu group "Электронные книги" and its shortcuts. Strings are UTF-8; paths are spelled as
// this system spells them.
#pragma once

#include <memory>
#include <string>

namespace quarto {

class TShortcuts {
public:
    virtual ~TShortcuts() = default;
    // Makes (or replaces) the shortcut called name that starts target with arguments ("" for
    // none) in target's folder. Silent: returns false when no shortcut was made (a name that
    // cannot be a file name: empty, ".", "..", or holding any of \ / : * ? " < > | or a control
    // character, the same rule on every platform).
    virtual bool CreateShortcut(const std::string& target, const std::string& name,
                                const std::string& arguments) = 0;
    // Removes every shortcut of the group and the group itself.
    virtual void RemoveAll() = 0;
};

// True when name can be a shortcut's file name on every platform: not empty, not "." or "..",
// without \ / : * ? " < > | and control characters.
bool IsShortcutName(const std::string& name);

// The shortcuts of this system: freedesktop desktop entries in a merged submenu here
// (ShortcutsFreedesktop.cpp), shell links in the Start menu on Windows (ShortcutsWindows.cpp).
std::unique_ptr<TShortcuts> MakeShortcuts();

} // namespace quarto
