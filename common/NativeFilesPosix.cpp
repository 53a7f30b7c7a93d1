// Open files on POSIX systems: pread, mmap and write on file descriptors.
#include "NativeFiles.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quarto::native {

std::string ErrorText(int error) {
    return SystemErrorText(error);
}

namespace {

std::string Reason() {
    return ErrorText(errno);
}

// A failed write: the disk full, or another reason.
[[noreturn]] void WriteFailed(const std::string& message) {
    if (errno == ENOSPC || errno == EDQUOT)
        throw EDiskFullError(message);
    throw EStreamError(message);
}

// A descriptor closed when it goes.
class TDescriptor {
public:
    explicit TDescriptor(int fd) : FFd(fd) {}
    ~TDescriptor() { Close(); }
    TDescriptor(const TDescriptor&) = delete;
    TDescriptor& operator=(const TDescriptor&) = delete;
    int Get() const { return FFd; }
    int Close() {
        const int result = FFd >= 0 ? ::close(FFd) : 0;
        FFd = -1;
        return result;
    }

private:
    int FFd;
};

// Opens path for reading; it must be a regular file.
int OpenRegular(const std::string& path, std::int64_t& size) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw EStreamError("Не удаётся открыть файл «" + path + "»: " + Reason() + ".");
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        throw EStreamError("Не удаётся открыть файл «" + path + "»: это не файл.");
    }
    size = static_cast<std::int64_t>(info.st_size);
    return fd;
}

class TPosixReadable final : public TReadableFile {
public:
    explicit TPosixReadable(const std::string& path) : FPath(path), FFd(OpenRegular(path, FSize)) {}
    const std::string& Path() const override { return FPath; }
    std::int64_t Size() const override { return FSize; }
    std::size_t ReadAt(std::int64_t offset, void* buffer, std::size_t count) override {
        if (offset < 0)
            throw EStreamError("Не удаётся прочитать файл «" + FPath + "» со смещения " +
                               std::to_string(offset) + ".");
        std::size_t done = 0;
        while (done < count) {
            const ssize_t n = ::pread(FFd.Get(), static_cast<char*>(buffer) + done, count - done,
                                      static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                throw EStreamError("Не удаётся прочитать файл «" + FPath + "»: " + Reason() + ".");
            }
            if (n == 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        return done;
    }

private:
    std::string FPath;
    std::int64_t FSize = 0;
    TDescriptor FFd;
};

class TPosixMap final : public TMappedFile {
public:
    explicit TPosixMap(const std::string& path) : TMappedFile(path) {
        std::int64_t size = 0;
        TDescriptor fd(OpenRegular(path, size));
        FSize = static_cast<std::size_t>(size);
        if (FSize == 0)
            return;
        void* data = ::mmap(nullptr, FSize, PROT_READ, MAP_PRIVATE, fd.Get(), 0);
        if (data == MAP_FAILED)
            throw EStreamError("Не удаётся прочитать файл «" + path + "»: " + Reason() + ".");
        FData = static_cast<const unsigned char*>(data);
    }
    ~TPosixMap() override {
        if (FData)
            ::munmap(const_cast<unsigned char*>(FData), FSize);
    }
};

class TPosixWritable final : public TWritableFile {
public:
    explicit TPosixWritable(const std::string& path)
        : FPath(path), FFd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)) {
        if (FFd.Get() < 0)
            WriteFailed("Не удаётся создать файл «" + path + "»: " + Reason() + ".");
    }
    const std::string& Path() const override { return FPath; }
    void Append(std::string_view bytes) override {
        if (FFd.Get() < 0)
            throw EStreamError("Не удаётся записать файл «" + FPath + "»: он уже закрыт.");
        while (!bytes.empty()) {
            const ssize_t n = ::write(FFd.Get(), bytes.data(), bytes.size());
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                WriteFailed("Не удаётся записать файл «" + FPath + "»: " + Reason() + ".");
            }
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
    }
    void Close() override {
        if (FFd.Get() >= 0 && FFd.Close() != 0)
            WriteFailed("Не удаётся записать файл «" + FPath + "»: " + Reason() + ".");
    }

private:
    std::string FPath;
    TDescriptor FFd;
};

} // namespace

TFileInfo Stat(const std::string& path) {
    TFileInfo info;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return info;
    if (S_ISREG(st.st_mode)) {
        info.Kind = TEntryKind::File;
        info.Size = static_cast<std::int64_t>(st.st_size);
    } else {
        info.Kind = S_ISDIR(st.st_mode) ? TEntryKind::Folder : TEntryKind::Other;
    }
    info.Time = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return info;
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    return home ? home : "";
}

std::string ProgramPath() {
    std::string path(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= path.size())
        return {};
    path.resize(static_cast<std::size_t>(n));
    return path;
}

std::unique_ptr<TReadableFile> OpenForReading(const std::string& path) {
    return std::make_unique<TPosixReadable>(path);
}

std::unique_ptr<TMappedFile> Map(const std::string& path) {
    return std::make_unique<TPosixMap>(path);
}

std::unique_ptr<TWritableFile> OpenForWriting(const std::string& path) {
    return std::make_unique<TPosixWritable>(path);
}

} // namespace quarto::native
