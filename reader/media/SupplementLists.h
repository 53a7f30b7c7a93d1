// The edition's audio and video supplements: the lists "Audio\files.txt" and "Video\files.txt"
// (format in MediaFormat.h) of the pages "Аудиоприложения" and "Видеоприложения", and the
// files their items play. Texts are code page 1251 bytes as the files hold them; problem
// messages are UTF-8 (Russian), like every message.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quarto {

enum class TSupplementKind { Audio, Video };

// A list as loaded: item j has the title Titles[j] and the file name Files[j] (its number is
// j), the page shows the titles.
struct TSupplementList {
    bool Found = false; // the list file exists
    bool Read = false;  // and it could be read
    std::vector<std::string> Titles;
    std::vector<std::string> Files;
    // What was wrong and mended, one message each: no list, an empty one, one that cannot be
    // read (each gives an empty page), a last title without its file line (left out). The
    // edition switch goes on; the checker reports them.
    std::vector<std::string> Problems;
};

// The items of a list's lines: pairs of title and file lines; a last title without its file
// line is left out with a problem naming path.
TSupplementList SupplementListOfLines(const std::vector<std::string>& lines,
                                      const std::string& path);

// Reads the list of the edition in bookFolder. Never throws for the list file: a list that is
// missing, empty or cannot be read gives no items and a problem.
TSupplementList ReadSupplementList(const std::string& bookFolder, TSupplementKind kind);
inline TSupplementList ReadAudioList(const std::string& bookFolder) {
    return ReadSupplementList(bookFolder, TSupplementKind::Audio);
}
inline TSupplementList ReadVideoList(const std::string& bookFolder) {
    return ReadSupplementList(bookFolder, TSupplementKind::Video);
}

// What the page says in place of its items (UTF-8): that the list is missing, cannot be read
// or holds no item; empty when it holds items.
std::string SupplementListNotice(const TSupplementList& list, TSupplementKind kind);

// The path of the list file of bookFolder ("Audio\files.txt" or "Video\files.txt"), as
// spelled; and the folder its file names are relative to ("Audio" or "Video").
std::string SupplementListPath(const std::string& bookFolder, TSupplementKind kind);
std::string SupplementFolder(const std::string& bookFolder, TSupplementKind kind);

// folder + name when name, a relative name from the data ("/" or "\" between its parts),
// stays inside folder: not empty, no leading separator, no ":" (a drive letter) or NUL byte, no
// ".." part that climbs above folder. Empty otherwise. By the spelling alone.
std::string ConfinedPath(std::string_view folder, std::string_view name);

// The file item fileName (1251, a line of the list) of the edition's list plays: the existing
// file below the edition's "Audio" or "Video" folder, looked up ignoring letter case. Empty
// when the name leads outside that folder (by its spelling or through a link) or no file is
// there: the item is not played.
std::string SupplementFilePath(const std::string& bookFolder, TSupplementKind kind,
                               std::string_view fileName);

} // namespace quarto
