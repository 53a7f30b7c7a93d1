// Writing an edition's audio and video supplements: the lists "Audio/files.txt" and
// "Video/files.txt" (format in reader/media/MediaFormat.h) with their files, and the clips
// articles link in "video_1". make-edition builds them from the source's audio.txt and
// video.txt (README.md, "Edition sources"); tests write any list, odd ones included, with
// WriteSupplementList.
#pragma once

#include "reader/media/SupplementLists.h"

#include <string>
#include <utility>
#include <vector>

namespace quarto {

// Writes lines (1251; title and file lines in pairs, though any count is written) as the list
// of kind into bookFolder, each line ending with CR LF; the folder is created. Throws
// EStreamError when it cannot.
void WriteSupplementList(const std::vector<std::string>& lines, const std::string& bookFolder,
                         TSupplementKind kind);

// Where make-edition takes the supplements' files from; empty: the source's own folders
// (SRC/audio, SRC/video, SRC/video_1).
struct TSupplementSources {
    std::string Audio;
    std::string Video;
    std::string Clips;
};

// make-edition's part, read and checked before anything is written.
struct TEditionSupplements {
    struct TList {
        bool Present = false;                                    // the source has the list
        std::vector<std::string> Lines;                          // files.txt, 1251
        std::vector<std::pair<std::string, std::string>> Copies; // source path -> stored name
    };
    TList Audio, Video;
    std::string ClipsFolder; // the folder copied as video_1; empty for none
};

// Reads src/audio.txt and src/video.txt (each optional; lines "FILE TITLE") and finds their
// files, and the clips folder. Throws EEditionSourceError naming the file and line for a faulty
// source.
TEditionSupplements ReadEditionSupplements(const std::string& src,
                                           const TSupplementSources& sources);
// Writes out/Audio, out/Video (lists and files) and out/video_1; nothing for what is absent.
void WriteEditionSupplements(const TEditionSupplements& supplements, const std::string& out);

} // namespace quarto
