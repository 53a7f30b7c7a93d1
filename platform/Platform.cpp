#include "Platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QSettings>
#include <QStorageInfo>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <windows.h>
#endif

#include <cstdio>
#include <string_view>

namespace quarto {

namespace {

QString Q(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToUtf8(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// The record in the user's settings of the organisation "Zelvane", application "Quarto": the
// registry key HKEY_CURRENT_USER\SOFTWARE\Zelvane\Quarto on Windows, a configuration file of
// the user elsewhere.
class TSettingsRecord : public TInstallRecord {
public:
    // The record exists when it holds either value (a key without values counts as none). A
    // missing value reads as its default; a "Path" written empty stays empty, as it was written.
    std::optional<TInstallRecordValues> Read(const std::string& defaultPath) override {
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Zelvane", "Quarto");
        if (!settings.contains("Path") && !settings.contains("SubVersion"))
            return std::nullopt;
        TInstallRecordValues values;
        values.Path =
            settings.contains("Path") ? ToUtf8(settings.value("Path").toString()) : defaultPath;
        bool ok = false;
        const int subVersion = settings.value("SubVersion", 0).toInt(&ok);
        values.SubVersion = ok ? subVersion : 0;
        return values;
    }
    bool Write(const TInstallRecordValues& values) override {
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Zelvane", "Quarto");
        settings.setValue("Path", Q(values.Path));
        settings.setValue("SubVersion", values.SubVersion);
        settings.sync();
        return settings.status() == QSettings::NoError;
    }
    void Remove() override {
#ifdef _WIN32
        // The key itself goes, not only its values: its parent deletes it.
        QSettings zelvane("HKEY_CURRENT_USER\\Software\\Zelvane", QSettings::NativeFormat);
        zelvane.remove("Quarto");
#else
        QString file;
        {
            QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Zelvane", "Quarto");
            settings.clear();
            settings.sync();
            file = settings.fileName();
        }
        QFile::remove(file);
        QDir().rmdir(QFileInfo(file).absolutePath()); // the organisation's folder, when empty
#endif
    }
};

class TStorageFreeSpace : public TFreeSpace {
public:
    std::int64_t FreeMegabytes(const std::string& path) override {
        QString folder = QDir::cleanPath(QDir::fromNativeSeparators(Q(path)));
        while (!folder.isEmpty() && !QFileInfo::exists(folder)) {
            const QString parent = QFileInfo(folder).path();
            if (parent == folder)
                break;
            folder = parent;
        }
        QStorageInfo storage(folder.isEmpty() ? QDir::currentPath() : folder);
        if (!storage.isValid() || storage.bytesAvailable() < 0)
            return 0;
        return static_cast<std::int64_t>(storage.bytesAvailable() / (1024 * 1024));
    }
};

class TDetachedStarter : public TProgramStarter {
public:
    bool Start(const std::string& program, const std::vector<std::string>& arguments) override {
        QStringList list;
        for (const std::string& a : arguments)
            list << Q(a);
        const QString path = Q(program);
        return QProcess::startDetached(path, list, QFileInfo(path).absolutePath());
    }
};

#ifdef _WIN32

// Shell links in the Start menu group "Электронные книги".
class TShellLinks : public TShortcuts {
public:
    bool CreateShortcut(const std::string& target, const std::string& name,
                        const std::string& arguments) override {
        if (!IsShortcutName(name))
            return false;
        const QString group = Group();
        if (group.isEmpty() || !QDir().mkpath(group))
            return false;
        const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        bool made = false;
        IShellLinkW* link = nullptr;
        if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_IShellLinkW, reinterpret_cast<void**>(&link)))) {
            const QString path = QDir::toNativeSeparators(Q(target));
            link->SetPath(reinterpret_cast<const wchar_t*>(path.utf16()));
            const QString folder = QDir::toNativeSeparators(QFileInfo(path).absolutePath()) + '\\';
            link->SetWorkingDirectory(reinterpret_cast<const wchar_t*>(folder.utf16()));
            link->SetArguments(reinterpret_cast<const wchar_t*>(Q(arguments).utf16()));
            IPersistFile* file = nullptr;
            if (SUCCEEDED(
                    link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
                const QString lnk = QDir::toNativeSeparators(group + '/' + Q(name) + ".lnk");
                made = SUCCEEDED(file->Save(reinterpret_cast<const wchar_t*>(lnk.utf16()), TRUE));
                file->Release();
            }
            link->Release();
        }
        if (SUCCEEDED(init))
            CoUninitialize();
        return made;
    }
    void RemoveAll() override {
        const QString group = Group();
        if (!group.isEmpty())
            QDir(group).removeRecursively();
    }

private:
    static QString Group() {
        PWSTR programs = nullptr;
        if (FAILED(SHGetKnownFolderPath(FOLDERID_Programs, 0, nullptr, &programs)))
            return QString();
        const QString folder = QString::fromWCharArray(programs);
        CoTaskMemFree(programs);
        return folder + QString::fromUtf8("/Электронные книги");
    }
};

#else

// Desktop entries: the group is a submenu of the applications menu, made by a merged menu
// file and a directory entry; each shortcut is an entry of our own category, which the
// merged menu gathers into the group. The entries carry no main category, so that they show
// in the group only and not a second time in a menu of that category.
class TDesktopEntries : public TShortcuts {
public:
    bool CreateShortcut(const std::string& target, const std::string& name,
                        const std::string& arguments) override {
        if (!IsShortcutName(name))
            return false;
        if (!WriteGroup())
            return false;
        const QString path = Q(target);
        const QString entry = QStringLiteral("[Desktop Entry]\n"
                                             "Type=Application\n"
                                             "Version=1.0\n"
                                             "Name=%1\n"
                                             "Exec=%2\n"
                                             "Path=%3\n"
                                             "Terminal=false\n"
                                             "Categories=%4;\n")
                                  .arg(EscapeValue(Q(name)), EscapeValue(Exec(path, Q(arguments))),
                                       EscapeValue(QFileInfo(path).absolutePath()), Category());
        return WriteFile(Applications() + '/' + EntryFileName(name), entry);
    }
    void RemoveAll() override {
        QDir applications(Applications());
        for (const QString& file : applications.entryList({Prefix() + "*.desktop"}, QDir::Files))
            applications.remove(file);
        for (const QString& file : {DirectoryFile(), MenuFile()}) {
            QFile::remove(file);
            QDir().rmdir(QFileInfo(file).absolutePath()); // when nothing else is left in it
        }
    }

    // The entry file of a shortcut name: the same name always gives the same file.
    static QString EntryFileName(const std::string& name) {
        std::uint64_t hash = 14695981039346656037ull; // FNV-1a of the UTF-8 bytes
        for (const char c : name) {
            hash ^= static_cast<unsigned char>(c);
            hash *= 1099511628211ull;
        }
        char hex[17];
        std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
        return Prefix() + QString::fromLatin1(hex) + ".desktop";
    }

private:
    static QString Prefix() { return QStringLiteral("zelvane-books-"); }
    static QString Category() { return QStringLiteral("X-Zelvane-Books"); }
    static QString Home(const char* variable, const char* fallback) {
        const QString value = qEnvironmentVariable(variable);
        return value.isEmpty() ? QDir::homePath() + fallback : value;
    }
    static QString DataHome() { return Home("XDG_DATA_HOME", "/.local/share"); }
    static QString ConfigHome() { return Home("XDG_CONFIG_HOME", "/.config"); }
    static QString Applications() { return DataHome() + "/applications"; }
    static QString DirectoryFile() {
        return DataHome() + "/desktop-directories/" + Prefix() + "group.directory";
    }
    static QString MenuFile() {
        return ConfigHome() + "/menus/applications-merged/" + Prefix() + "group.menu";
    }

    // The command of the Exec key: the program and its one argument (none when empty), each
    // quoted. GLib looks the program up before it turns "%%" back into "%", so a program whose
    // path holds a "%" would hide the entry there; such a program is started through env.
    static QString Exec(const QString& program, const QString& argument) {
        QString exec = program.contains('%') ? "env " + Quote(program) : Quote(program);
        if (!argument.isEmpty())
            exec += ' ' + Quote(argument);
        return exec;
    }
    // An argument of the Exec key: inside double quotes, ", `, $ and \ take a backslash; a "%"
    // is doubled.
    static QString Quote(const QString& argument) {
        QString quoted = "\"";
        for (const QChar c : argument) {
            if (c == '"' || c == '`' || c == '$' || c == '\\')
                quoted += '\\';
            else if (c == '%')
                quoted += '%';
            quoted += c;
        }
        return quoted + '"';
    }
    // A string value of a desktop file: backslash and control characters escaped, and a space
    // at either end written "\s", since readers drop the spaces around a value.
    static QString EscapeValue(const QString& value) {
        QString escaped;
        for (qsizetype i = 0; i < value.size(); ++i) {
            const QChar c = value[i];
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

    // Written whole under a temporary name, then renamed over the old file.
    static bool WriteFile(const QString& path, const QString& text) {
        if (!QDir().mkpath(QFileInfo(path).absolutePath()))
            return false;
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        file.write(text.toUtf8());
        return file.commit();
    }
    static bool WriteGroup() {
        const QString directory = QStringLiteral("[Desktop Entry]\n"
                                                 "Type=Directory\n"
                                                 "Version=1.0\n"
                                                 "Name=%1\n"
                                                 "Icon=accessories-dictionary\n")
                                      .arg(QString::fromUtf8("Электронные книги"));
        const QString menu =
            QStringLiteral("<!DOCTYPE Menu PUBLIC \"-//freedesktop//DTD Menu 1.0//EN\"\n"
                           " \"http://www.freedesktop.org/standards/menu-spec/1.0/menu.dtd\">\n"
                           "<Menu>\n"
                           "  <Name>Applications</Name>\n"
                           "  <Menu>\n"
                           "    <Name>Zelvane Books</Name>\n"
                           "    <Directory>%1</Directory>\n"
                           "    <Include>\n"
                           "      <Category>%2</Category>\n"
                           "    </Include>\n"
                           "  </Menu>\n"
                           "</Menu>\n")
                .arg(QFileInfo(DirectoryFile()).fileName(), Category());
        return WriteFile(DirectoryFile(), directory) && WriteFile(MenuFile(), menu);
    }
};

#endif

} // namespace

bool IsShortcutName(const std::string& name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    for (const char c : name)
        if (static_cast<unsigned char>(c) < 32 ||
            std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos)
            return false;
    return true;
}

std::unique_ptr<TInstallRecord> MakeInstallRecord() {
    return std::make_unique<TSettingsRecord>();
}
std::unique_ptr<TFreeSpace> MakeFreeSpace() {
    return std::make_unique<TStorageFreeSpace>();
}
std::unique_ptr<TProgramStarter> MakeProgramStarter() {
    return std::make_unique<TDetachedStarter>();
}

std::unique_ptr<TShortcuts> MakeShortcuts() {
#ifdef _WIN32
    return std::make_unique<TShellLinks>();
#else
    return std::make_unique<TDesktopEntries>();
#endif
}

} // namespace quarto
