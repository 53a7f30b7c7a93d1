// The installation record in the user's settings of the organisation "Zelvane", application
// "Quarto": the configuration file ~/.config/Zelvane/Quarto.conf.
#include "platform/InstallRecord.h"

#include "common/FileSystem.h"
#include "common/qt/QtText.h"

#include <QSettings>

namespace quarto {

namespace {

class TSettingsRecord : public TInstallRecord {
public:
    // The record exists when it holds either value (a file without them counts as none). A
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
        settings.setValue("Path", FromUtf8(values.Path));
        settings.setValue("SubVersion", values.SubVersion);
        settings.sync();
        return settings.status() == QSettings::NoError;
    }
    // The file goes, and the organisation's folder with it when nothing else is left there.
    void Remove() override {
        QString file;
        {
            QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Zelvane", "Quarto");
            settings.clear();
            settings.sync();
            file = settings.fileName();
        }
        TFileSystem& files = FileSystem();
        const std::string path = ToUtf8(file);
        // What cannot be removed stays; the record is empty either way.
        try {
            if (files.Stat(path).Kind != TEntryKind::Folder)
                files.Remove(path);
        } catch (const EStreamError&) {
        }
        const std::string folder = ParentOf(path);
        const auto rest = folder.empty() ? std::nullopt : files.List(folder);
        if (rest && rest->empty()) {
            try {
                files.Remove(folder);
            } catch (const EStreamError&) {
            }
        }
    }
};

} // namespace

std::unique_ptr<TInstallRecord> MakeInstallRecord() {
    return std::make_unique<TSettingsRecord>();
}

} // namespace quarto
