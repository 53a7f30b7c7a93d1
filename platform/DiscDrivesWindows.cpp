// The CD-ROM drives on Windows: the drives B to Z whose type is DRIVE_CDROM, and the tray state
// from the "cdaudio" device's mode.
#include "DiscDrives.h"

#include "common/WideText.h"

#include <mmsystem.h>

#include <cstdlib>

namespace quarto {

namespace {

// A failed mode query is asked again this many times in all before the tray counts as closed.
constexpr int ModeQueries = 3;

class TWindowsDiscDrives : public TDiscDrives {
public:
    // Drive A is never examined.
    std::vector<std::string> CdDriveLetters() override {
        std::vector<std::string> roots;
        const DWORD present = GetLogicalDrives();
        for (char letter = 'B'; letter <= 'Z'; ++letter) {
            if (!(present & (DWORD{1} << (letter - 'A'))))
                continue;
            const std::string root = std::string(1, letter) + ":\\";
            if (GetDriveTypeW(WideOf(root).c_str()) == DRIVE_CDROM)
                roots.push_back(root);
        }
        return roots;
    }

    bool IsTrayOpen(const std::string& root) override {
        if (root.size() < 2 || root[1] != ':')
            return false;
        const std::wstring drive = WideOf(root.substr(0, 2));
        const std::wstring alias = L"quarto_tray_" + drive.substr(0, 1);
        const std::wstring open =
            L"open " + drive + L" type cdaudio alias " + alias + L" shareable";
        if (mciSendStringW(open.c_str(), nullptr, 0, nullptr) != 0)
            return false;
        wchar_t mode[64] = {};
        MCIERROR status = 1;
        const std::wstring query = L"status " + alias + L" mode";
        for (int i = 0; i < ModeQueries && status != 0; ++i)
            status = mciSendStringW(query.c_str(), mode, 64, nullptr);
        mciSendStringW((L"close " + alias).c_str(), nullptr, 0, nullptr);
        return status == 0 && std::wstring(mode) == L"open";
    }

    std::vector<std::string> DiscFolders() override {
        const wchar_t* value = _wgetenv(L"QUARTO_DISCS");
        return value ? DiscRootsOf(ParseDiscFolders(Utf8OfWide(value)))
                     : std::vector<std::string>{};
    }
};

} // namespace

std::unique_ptr<TDiscDrives> MakeDiscDrives() {
    return std::make_unique<TWindowsDiscDrives>();
}

} // namespace quarto
