// Paths as the edition data spells them: file names come in any letter case and with either
// separator, while the file system here is case-sensitive. Every open goes through
// ResolvePath.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quarto {

// The platform's separator.
#ifdef _WIN32
inline constexpr char PathSeparator = '\\';
#else
inline constexpr char PathSeparator = '/';
#endif

// The existing file or folder that path names, with each component matched ignoring letter
// case (an exact match is preferred) and "/" and "\" both accepted as separators; "." and
// ".." are applied as they come. Empty when nothing matches.
std::string ResolvePath(std::string_view path);
// True when ResolvePath finds a regular file (FileExists) or a folder (FolderExists).
bool FileExists(std::string_view path);
bool FolderExists(std::string_view path);

// a + separator + b, without doubling a separator at the end of a.
std::string JoinPath(std::string_view a, std::string_view b);

// Names of the entries of a folder, sorted by name (byte order); hidden entries (names
// starting with ".") and "." and ".." are left out. Empty when the folder cannot be listed.
std::vector<std::string> ListFolder(std::string_view folder);

} // namespace quarto
