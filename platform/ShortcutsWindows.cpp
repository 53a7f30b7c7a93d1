// Shell links in the Start menu group "Электронные книги" (Programs\Электронные книги).
#include "Shortcuts.h"

#include "common/FileSystem.h"

#include "common/WideText.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace quarto {

namespace {

// A COM interface released when it goes.
template <class T> class TComPtr {
public:
    TComPtr() = default;
    ~TComPtr() {
        if (FPointer)
            FPointer->Release();
    }
    TComPtr(const TComPtr&) = delete;
    TComPtr& operator=(const TComPtr&) = delete;
    T* operator->() const { return FPointer; }
    void** Out() { return reinterpret_cast<void**>(&FPointer); }

private:
    T* FPointer = nullptr;
};

// COM on this thread for as long as it lives, when it could be started.
class TComScope {
public:
    TComScope() : FResult(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~TComScope() {
        if (SUCCEEDED(FResult))
            CoUninitialize();
    }
    TComScope(const TComScope&) = delete;
    TComScope& operator=(const TComScope&) = delete;

private:
    HRESULT FResult;
};

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

// path with backslashes for separators.
std::string Native(std::string path) {
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// The folder target is in, made absolute, with a separator at its end ("C:\Zelvane\Quarto\").
std::string WorkingFolderOf(const std::string& target) {
    if (target.empty())
        return "\\";
    const std::string path = Native(FileSystem().AbsolutePath(target));
    std::size_t at = path.size();
    while (at > 0 && !IsSeparator(path[at - 1]))
        --at;
    if (at == 0)
        return path + '\\';
    std::string folder = path.substr(0, at - 1);
    if (folder.empty() || (folder.size() == 2 && folder[1] == ':'))
        folder = path.substr(0, at); // a root keeps its separator
    return folder + '\\';
}

// The group's folder in the user's Start menu programs; empty when the system does not say.
std::string Group() {
    PWSTR programs = nullptr;
    if (FAILED(SHGetKnownFolderPath(FOLDERID_Programs, 0, nullptr, &programs)))
        return {};
    const std::string folder = Utf8OfWide(programs);
    CoTaskMemFree(programs);
    return folder.empty() ? std::string() : JoinPath(folder, "Электронные книги");
}

class TShellLinks : public TShortcuts {
public:
    bool CreateShortcut(const std::string& target, const std::string& name,
                        const std::string& arguments) override {
        if (!IsShortcutName(name))
            return false;
        const std::string group = Group();
        if (group.empty())
            return false;
        try {
            CreateFolders(group);
        } catch (const EStreamError&) {
            return false;
        }
        const TComScope com;
        TComPtr<IShellLinkW> link;
        if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                    link.Out())))
            return false;
        link->SetPath(WideOf(Native(target)).c_str());
        link->SetWorkingDirectory(WideOf(WorkingFolderOf(target)).c_str());
        link->SetArguments(WideOf(arguments).c_str());
        TComPtr<IPersistFile> file;
        if (FAILED(link->QueryInterface(IID_IPersistFile, file.Out())))
            return false;
        const std::wstring lnk = WideOf(Native(JoinPath(group, name + ".lnk")));
        return SUCCEEDED(file->Save(lnk.c_str(), TRUE));
    }
    void RemoveAll() override {
        const std::string group = Group();
        if (group.empty())
            return;
        try {
            FileSystem().RemoveTree(group);
        } catch (const EStreamError&) {
            // what cannot be removed stays
        }
    }
};

} // namespace

std::unique_ptr<TShortcuts> MakeShortcuts() {
    return std::make_unique<TShellLinks>();
}

} // namespace quarto
