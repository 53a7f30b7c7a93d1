// Authoring editions: make-edition turns an edition source folder into an edition folder
// the reader opens. The source format is described in README.md ("Edition sources").
#pragma once

#include "common/EditionLayout.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace quarto {

// A source that cannot be turned into an edition; the message names the file and, where
// there is one, the line.
class EEditionSourceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One line of the contents outline.
struct TOutlineEntry {
    int Level = 0;
    std::int32_t Kind = 0; // the stored kind
    bool Bare = false;     // store the text without the four bytes the reader blanks
    std::string File;      // relative to the source's "texts" folder; empty for none
    std::string Title;     // UTF-8 as written
    int Line = 0;          // line number in the outline, for messages
};

// Parses the contents outline (UTF-8 text); fileName is used in messages.
std::vector<TOutlineEntry> ParseOutline(const std::string& text, const std::string& fileName);

// The files of a skin folder, with the names the reader opens.
inline constexpr const char* SkinFileNames[] = {Layout::SkinFace, Layout::SkinMask,
                                                Layout::SkinData};

// Writes the edition of source folder src into folder out (created when missing; the files it
// writes are replaced, nothing else is removed). The edition's skin, Skins/1, comes from the
// folder skin when it is not empty, else from the source's own Skins/1 if it has one.
void MakeEdition(const std::string& src, const std::string& out, const std::string& skin = {});

// What make-edition takes besides the source and the output folder.
struct TEditionOptions {
    std::string Skin;          // the skin folder (see MakeEdition above); empty for the source's
    std::string PictureSource; // the folder of the pictures.txt pictures; empty: SRC/pictures
    // A disc folder: the full pictures go into DIR/Books/<RegKey>/Pictures instead of
    // OUT/Pictures.
    std::string PicturesDisc;
    // The folders of the audio.txt and video.txt files and of the clips copied as video_1;
    // empty: SRC/audio, SRC/video, SRC/video_1.
    std::string AudioSource;
    std::string VideoSource;
    std::string ClipsSource;
};

// MakeEdition with options; the illustration set is written when the source has pictures.txt,
// the audio and video supplements when it has audio.txt or video.txt, the clips when it has
// video_1 or ClipsSource is given (README.md, "Edition sources"). Nothing is written into the
// descriptor for them.
void MakeEdition(const std::string& src, const std::string& out, const TEditionOptions& options);

} // namespace quarto
