// Desktop entries: the group is a submenu of the applications menu, made by a merged menu
// file and a directory entry; each shortcut is an entry of our own category, which the
// merged menu gathers into the group. The entries carry no main category, so that they show
// in the group only and not a second time in a menu of that category. Every file is written
// and removed through the file layer.
#include "platform/Shortcuts.h"

#include "common/AsciiText.h"
#include "common/FileSystem.h"
#include "common/qt/QtText.h"

#include <QDir>

#include <cstdint>
#include <cstdio>
#include <string_view>

namespace quarto {

namespace {

const std::string Prefix = "zelvane-books-";
const std::string Category = "X-Zelvane-Books";
const std::string EntrySuffix = ".desktop";

// The folder an XDG variable names, or the fallback below the home when it is unset or empty.
std::string Home(const char* variable, const char* fallback) {
    const QString value = qEnvironmentVariable(variable);
    return ToUtf8(value.isEmpty() ? QDir::homePath() + fallback : value);
}
std::string DataHome() {
    return Home("XDG_DATA_HOME", "/.local/share");
}
std::string ConfigHome() {
    return Home("XDG_CONFIG_HOME", "/.config");
}
std::string Applications() {
    return DataHome() + "/applications";
}
std::string DirectoryFileName() {
    return Prefix + "group.directory";
}
std::string DirectoryFile() {
    return DataHome() + "/desktop-directories/" + DirectoryFileName();
}
std::string MenuFile() {
    return ConfigHome() + "/menus/applications-merged/" + Prefix + "group.menu";
}

// The entry file of a shortcut name: the same name always gives the same file.
std::string EntryFileName(const std::string& name) {
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a of the UTF-8 bytes
    for (const char c : name) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return Prefix + hex + EntrySuffix;
}

// True for the name of one of our entry files, letter case ignored.
bool IsEntryFileName(std::string_view name) {
    return name.size() >= Prefix.size() + EntrySuffix.size() &&
           StartsIgnoringAsciiCase(name, Prefix) && EndsIgnoringAsciiCase(name, EntrySuffix);
}

// The folder target is in, made absolute, "." and ".." applied, without a trailing "/" (but
// for the root); empty for an empty target.
std::string FolderOf(const std::string& target) {
    if (target.empty())
        return {};
    const std::string path = FileSystem().AbsolutePath(target);
    const std::size_t at = path.rfind('/');
    if (at == std::string::npos)
        return path;
    return at == 0 ? std::string("/") : path.substr(0, at);
}

// An argument of the Exec key: inside double quotes, ", `, $ and \ take a backslash; a "%"
// is doubled.
std::string Quote(const std::string& argument) {
    std::string quoted = "\"";
    for (const char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        else if (c == '%')
            quoted += '%';
        quoted += c;
    }
    return quoted + '"';
}

// The command of the Exec key: the program and its one argument (none when empty), each
// quoted. GLib looks the program up before it turns "%%" back into "%", so a program whose
// path holds a "%" would hide the entry there; such a program is started through env.
std::string Exec(const std::string& program, const std::string& argument) {
    std::string exec =
        program.find('%') != std::string::npos ? "env " + Quote(program) : Quote(program);
    if (!argument.empty())
        exec += ' ' + Quote(argument);
    return exec;
}

// A string value of a desktop file: backslash and control characters escaped, and a space
// at either end written "\s", since readers drop the spaces around a value.
std::string EscapeValue(const std::string& value) {
    std::string escaped;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\\')
            escaped += "\\\\";
        else if (c == '\n')
            escaped += "\\n";
        else if (c == '\t')
            escaped += "\\t";
        else if (c == '\r')
            escaped += "\\r";
        else if (c == ' ' && (i == 0 || i == value.size() - 1))
            escaped += "\\s";
        else
            escaped += c;
    }
    return escaped;
}

// Written whole under a temporary name, then renamed over the old file; false when that
// fails.
bool WriteFile(const std::string& path, std::string_view text) {
    try {
        CreateFolders(ParentOf(path));
        ReplaceWholeFile(path, text);
        return true;
    } catch (const EStreamError&) {
        return false;
    }
}

bool WriteGroup() {
    const std::string directory = "[Desktop Entry]\n"
                                  "Type=Directory\n"
                                  "Version=1.0\n"
                                  "Name=Электронные книги\n"
                                  "Icon=accessories-dictionary\n";
    std::string menu = "<!DOCTYPE Menu PUBLIC \"-//freedesktop//DTD Menu 1.0//EN\"\n"
                       " \"http://www.freedesktop.org/standards/menu-spec/1.0/menu.dtd\">\n"
                       "<Menu>\n"
                       "  <Name>Applications</Name>\n"
                       "  <Menu>\n"
                       "    <Name>Zelvane Books</Name>\n";
    menu += "    <Directory>" + DirectoryFileName() + "</Directory>\n";
    menu += "    <Include>\n";
    menu += "      <Category>" + Category + "</Category>\n";
    menu += "    </Include>\n"
            "  </Menu>\n"
            "</Menu>\n";
    return WriteFile(DirectoryFile(), directory) && WriteFile(MenuFile(), menu);
}

// Removes path unless it is a folder; nothing there is no failure.
void RemoveFile(const std::string& path) {
    TFileSystem& files = FileSystem();
    try {
        if (files.Stat(path).Kind != TEntryKind::Folder)
            files.Remove(path);
    } catch (const EStreamError&) {
    }
}

// Removes folder when nothing is left in it.
void RemoveEmptyFolder(const std::string& folder) {
    TFileSystem& files = FileSystem();
    const auto rest = files.List(folder);
    if (!rest || !rest->empty())
        return;
    try {
        files.Remove(folder);
    } catch (const EStreamError&) {
    }
}

class TDesktopEntries : public TShortcuts {
public:
    bool CreateShortcut(const std::string& target, const std::string& name,
                        const std::string& arguments) override {
        if (!IsShortcutName(name))
            return false;
        if (!WriteGroup())
            return false;
        std::string entry = "[Desktop Entry]\nType=Application\nVersion=1.0\n";
        entry += "Name=" + EscapeValue(name) + "\n";
        entry += "Exec=" + EscapeValue(Exec(target, arguments)) + "\n";
        entry += "Path=" + EscapeValue(FolderOf(target)) + "\n";
        entry += "Terminal=false\n";
        entry += "Categories=" + Category + ";\n";
        return WriteFile(Applications() + '/' + EntryFileName(name), entry);
    }
    // Our entries (files named like them, letter case ignored) go, then the directory entry
    // and the menu file, each with its folder when nothing else is left in it.
    void RemoveAll() override {
        TFileSystem& files = FileSystem();
        const std::string applications = Applications();
        if (const auto names = files.List(applications)) {
            for (const std::string& name : *names) {
                const std::string path = applications + '/' + name;
                if (IsEntryFileName(name) && files.Stat(path).Kind == TEntryKind::File)
                    RemoveFile(path);
            }
        }
        for (const std::string& file : {DirectoryFile(), MenuFile()}) {
            RemoveFile(file);
            RemoveEmptyFolder(ParentOf(file));
        }
    }
};

} // namespace

std::unique_ptr<TShortcuts> MakeShortcuts() {
    return std::make_unique<TDesktopEntries>();
}

} // namespace quarto
