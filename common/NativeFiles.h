// The system's open files, one implementation per platform (NativeFilesPosix.cpp,
// NativeFilesWindows.cpp), used by the system's file system only.
#pragma once

#include "FileSystem.h"

#include <filesystem>

namespace quarto::native {

// The native path of a UTF-8 path (wide characters on Windows).
std::filesystem::path PathOf(const std::string& utf8);
// The UTF-8 spelling of a native path.
std::string Utf8Of(const std::filesystem::path& path);

// The reason of a failure the system reported with its own code (errno here, GetLastError()
// on Windows), in the words of SystemErrorText for the usual ones.
std::string ErrorText(int error);

// The user's home folder, or empty.
std::string HomeFolder();
// The running program, or empty when the system cannot tell.
std::string ProgramPath();

// What path names, in one system call.
TFileInfo Stat(const std::string& path);

std::unique_ptr<TReadableFile> OpenForReading(const std::string& path);
std::unique_ptr<TMappedFile> Map(const std::string& path);
std::unique_ptr<TWritableFile> OpenForWriting(const std::string& path);

} // namespace quarto::native
