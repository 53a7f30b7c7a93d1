// The system's file system: open files through the platform's own calls (NativeFiles), the
// rest through the standard library's file system operations.
#include "FileSystem.h"
#include "NativeFiles.h"

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <random>
#include <system_error>

namespace quarto {

namespace fs = std::filesystem;

namespace native {

fs::path PathOf(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8Of(const fs::path& path) {
    const std::u8string s = path.u8string();
    return std::string(s.begin(), s.end());
}

} // namespace native

namespace {

using native::PathOf;
using native::Utf8Of;

// what: the message up to the path ("Не удаётся удалить").
[[noreturn]] void Fail(const std::string& what, const std::string& path,
                       const std::error_code& ec) {
    // The standard library reports POSIX errors by their errno, Windows' by their own codes.
    const bool posix = ec.category() == std::generic_category();
    if (ec == std::errc::no_space_on_device)
        throw EDiskFullError(what + " «" + path + "»: " + SystemErrorText(ENOSPC) + ".");
    throw EStreamError(what + " «" + path + "»: " +
                       (posix ? SystemErrorText(ec.value()) : native::ErrorText(ec.value())) +
                       ".");
}

class TSystemFileSystem final : public TFileSystem {
public:
    std::unique_ptr<TReadableFile> OpenForReading(const std::string& path) override {
        return native::OpenForReading(path);
    }
    std::unique_ptr<TMappedFile> Map(const std::string& path) override { return native::Map(path); }

    TFileInfo Stat(const std::string& path) override { return native::Stat(path); }

    std::optional<std::vector<std::string>> List(const std::string& folder) override {
        std::error_code ec;
        fs::directory_iterator it(PathOf(folder), ec);
        if (ec)
            return std::nullopt;
        std::vector<std::string> names;
        for (const fs::directory_iterator end; it != end; it.increment(ec)) {
            if (ec)
                return std::nullopt;
            names.push_back(Utf8Of(it->path().filename()));
        }
        return names;
    }

    std::unique_ptr<TWritableFile> OpenForWriting(const std::string& path) override {
        return native::OpenForWriting(path);
    }

    // The system copies in one pass (sendfile where it can), keeping the permissions.
    void CopyFile(const std::string& from, const std::string& to) override {
        std::error_code ec;
        if (!fs::copy_file(PathOf(from), PathOf(to), fs::copy_options::overwrite_existing, ec) ||
            ec)
            Fail("Не удаётся скопировать файл «" + from + "» в", to,
                 ec ? ec : std::make_error_code(std::errc::io_error));
    }

    void MakeExecutable(const std::string& path) override {
#ifndef _WIN32
        std::error_code ec;
        fs::permissions(PathOf(path),
                        fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                        fs::perm_options::add, ec);
        if (ec)
            Fail("Не удаётся сделать программой файл", path, ec);
#else
        (void)path;
#endif
    }

    void CreateFolder(const std::string& path) override {
        std::error_code ec;
        fs::create_directory(PathOf(path), ec);
        if (ec)
            Fail("Не удаётся создать папку", path, ec);
    }

    void Rename(const std::string& from, const std::string& to) override {
        std::error_code ec;
        fs::rename(PathOf(from), PathOf(to), ec);
        if (ec)
            Fail("Не удаётся переименовать «" + from + "» в", to, ec);
    }

    void Remove(const std::string& path) override {
        std::error_code ec;
        fs::remove(PathOf(path), ec);
        if (ec)
            Fail("Не удаётся удалить", path, ec);
    }

    void RemoveTree(const std::string& path) override {
        std::error_code ec;
        fs::remove_all(PathOf(path), ec);
        if (ec || fs::exists(PathOf(path), ec))
            Fail("Не удаётся удалить", path,
                 ec ? ec : std::make_error_code(std::errc::directory_not_empty));
    }

    std::string AbsolutePath(const std::string& path) override {
        std::error_code ec;
        const fs::path absolute = fs::absolute(PathOf(path), ec);
        return ec ? path : Utf8Of(absolute.lexically_normal());
    }

    std::string CanonicalPath(const std::string& path) override {
        std::error_code ec;
        const fs::path canonical = fs::weakly_canonical(PathOf(path), ec);
        return ec ? AbsolutePath(path) : Utf8Of(canonical);
    }
};

} // namespace

std::string HomeFolder() {
    return native::HomeFolder();
}

std::string RunningProgramPath(const char* argv0) {
    const std::string path = native::ProgramPath();
    return path.empty() ? SystemFileSystem().AbsolutePath(argv0 ? argv0 : "") : path;
}

TFileSystem& SystemFileSystem() {
    static TSystemFileSystem system;
    return system;
}

TRunFolder::~TRunFolder() {
    if (FFolder.empty())
        return;
    try {
        SystemFileSystem().RemoveTree(FFolder);
    } catch (const EStreamError&) {
    }
}

std::string TRunFolder::NewFolder() {
    if (FFolder.empty()) {
        std::error_code error;
        const std::string temporary = native::Utf8Of(std::filesystem::temp_directory_path(error));
        std::random_device random;
        const std::string folder = JoinPath(error ? std::string(".") : temporary,
                                            FPrefix + "-" + std::to_string(random()));
        SystemFileSystem().CreateFolder(folder);
        FFolder = folder;
    }
    const std::string folder = JoinPath(FFolder, std::to_string(FCount++));
    SystemFileSystem().CreateFolder(folder);
    return folder;
}

} // namespace quarto
