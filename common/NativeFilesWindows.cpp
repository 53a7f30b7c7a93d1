// Open files on Windows: wide paths, ReadFile at an offset, file mappings and WriteFile.
#include "NativeFiles.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cerrno>

namespace quarto::native {

// The usual failures in the words the POSIX build uses; the others in the system's own words
// (asked for as wide text: no ANSI code page).
std::string ErrorText(int error) {
    const DWORD code = static_cast<DWORD>(error);
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        return SystemErrorText(ENOENT);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return SystemErrorText(EACCES);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return SystemErrorText(ENOSPC);
    case ERROR_WRITE_PROTECT:
        return SystemErrorText(EROFS);
    case ERROR_DIR_NOT_EMPTY:
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        return SystemErrorText(ENOTEMPTY);
    case ERROR_FILENAME_EXCED_RANGE:
        return SystemErrorText(ENAMETOOLONG);
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_NOT_READY:
        return SystemErrorText(EIO);
    default:
        break;
    }
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::string reason = text ? Utf8Of(std::filesystem::path(text))
                              : "ошибка " + std::to_string(code);
    if (text)
        LocalFree(text);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                               reason.back() == '.' || reason.back() == ' '))
        reason.pop_back();
    return reason;
}

namespace {

std::string Reason() {
    return ErrorText(static_cast<int>(GetLastError()));
}

// A handle closed when it goes.
class THandle {
public:
    explicit THandle(HANDLE h = INVALID_HANDLE_VALUE) : FHandle(h) {}
    ~THandle() { Close(); }
    THandle(const THandle&) = delete;
    THandle& operator=(const THandle&) = delete;
    HANDLE Get() const { return FHandle; }
    bool Valid() const { return FHandle != INVALID_HANDLE_VALUE && FHandle != nullptr; }
    bool Close() {
        const bool ok = !Valid() || CloseHandle(FHandle);
        FHandle = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE FHandle;
};

HANDLE OpenRegular(const std::string& path, std::int64_t& size) {
    HANDLE file = CreateFileW(PathOf(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        // A folder cannot be opened as a file: say so, as the POSIX build does. The failure's
        // code is taken before the folder is asked about.
        const int error = static_cast<int>(GetLastError());
        const std::string reason = Stat(path).Kind == TEntryKind::Folder
                                       ? std::string("это не файл")
                                       : ErrorText(error);
        throw EStreamError("Не удаётся открыть файл «" + path + "»: " + reason + ".");
    }
    LARGE_INTEGER bytes{};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &bytes)) {
        CloseHandle(file);
        throw EStreamError("Не удаётся открыть файл «" + path + "»: это не файл.");
    }
    size = static_cast<std::int64_t>(bytes.QuadPart);
    return file;
}

class TWindowsReadable final : public TReadableFile {
public:
    explicit TWindowsReadable(const std::string& path)
        : FPath(path), FFile(OpenRegular(path, FSize)) {}
    const std::string& Path() const override { return FPath; }
    std::int64_t Size() const override { return FSize; }
    std::size_t ReadAt(std::int64_t offset, void* buffer, std::size_t count) override {
        if (offset < 0)
            throw EStreamError("Не удаётся прочитать файл «" + FPath + "» со смещения " +
                               std::to_string(offset) + ".");
        std::size_t done = 0;
        while (done < count) {
            OVERLAPPED at{};
            const std::uint64_t position = static_cast<std::uint64_t>(offset) + done;
            at.Offset = static_cast<DWORD>(position);
            at.OffsetHigh = static_cast<DWORD>(position >> 32);
            const DWORD want = static_cast<DWORD>(std::min<std::size_t>(count - done, 1u << 30));
            DWORD got = 0;
            if (!ReadFile(FFile.Get(), static_cast<char*>(buffer) + done, want, &got, &at)) {
                if (GetLastError() == ERROR_HANDLE_EOF)
                    break;
                throw EStreamError("Не удаётся прочитать файл «" + FPath + "»: " + Reason() + ".");
            }
            if (got == 0)
                break;
            done += got;
        }
        return done;
    }

private:
    std::string FPath;
    std::int64_t FSize = 0;
    THandle FFile;
};

class TWindowsMap final : public TMappedFile {
public:
    explicit TWindowsMap(const std::string& path) : TMappedFile(path) {
        std::int64_t size = 0;
        THandle file(OpenRegular(path, size));
        FSize = static_cast<std::size_t>(size);
        if (FSize == 0)
            return;
        THandle mapping(CreateFileMappingW(file.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
        if (mapping.Valid())
            FData = static_cast<const unsigned char*>(
                MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 0));
        if (!FData)
            throw EStreamError("Не удаётся прочитать файл «" + path + "»: " + Reason() + ".");
    }
    ~TWindowsMap() override {
        if (FData)
            UnmapViewOfFile(FData);
    }
};

// A failed write: the disk full, or another reason.
[[noreturn]] void WriteFailed(const std::string& message, DWORD code) {
    if (code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL)
        throw EDiskFullError(message);
    throw EStreamError(message);
}

class TWindowsWritable final : public TWritableFile {
public:
    explicit TWindowsWritable(const std::string& path)
        : FPath(path), FFile(CreateFileW(PathOf(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)) {
        if (!FFile.Valid())
            WriteFailed("Не удаётся создать файл «" + path + "»: " + Reason() + ".",
                        GetLastError());
    }
    const std::string& Path() const override { return FPath; }
    void Append(std::string_view bytes) override {
        if (!FFile.Valid())
            throw EStreamError("Не удаётся записать файл «" + FPath + "»: он уже закрыт.");
        while (!bytes.empty()) {
            const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
            DWORD written = 0;
            if (!WriteFile(FFile.Get(), bytes.data(), want, &written, nullptr) || written == 0)
                WriteFailed("Не удаётся записать файл «" + FPath + "»: " + Reason() + ".",
                            GetLastError());
            bytes.remove_prefix(written);
        }
    }
    void Close() override {
        if (FFile.Valid() && !FFile.Close())
            WriteFailed("Не удаётся записать файл «" + FPath + "»: " + Reason() + ".",
                        GetLastError());
    }

private:
    std::string FPath;
    THandle FFile;
};

} // namespace

TFileInfo Stat(const std::string& path) {
    TFileInfo info;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(PathOf(path).c_str(), GetFileExInfoStandard, &data))
        return info;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        info.Kind = TEntryKind::Folder;
    } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) {
        info.Kind = TEntryKind::Other;
    } else {
        info.Kind = TEntryKind::File;
        info.Size = static_cast<std::int64_t>(
            (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    }
    info.Time = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
        data.ftLastWriteTime.dwLowDateTime);
    return info;
}

std::string HomeFolder() {
    const wchar_t* home = _wgetenv(L"USERPROFILE");
    return home ? Utf8Of(std::filesystem::path(home)) : std::string();
}

std::string ProgramPath() {
    std::wstring path(32768, L'\0');
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0 || n >= path.size())
        return {};
    path.resize(n);
    return Utf8Of(std::filesystem::path(path));
}

std::unique_ptr<TReadableFile> OpenForReading(const std::string& path) {
    return std::make_unique<TWindowsReadable>(path);
}

std::unique_ptr<TMappedFile> Map(const std::string& path) {
    return std::make_unique<TWindowsMap>(path);
}

std::unique_ptr<TWritableFile> OpenForWriting(const std::string& path) {
    return std::make_unique<TWindowsWritable>(path);
}

} // namespace quarto::native
