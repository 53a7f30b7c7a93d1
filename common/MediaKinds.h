// The kinds of media files by extension, with what each part of the system does with them: the
// reader's links and viewer, make-edition's pictures and the exports. Standard C++ only.
#pragma once

#include "common/AsciiText.h"

#include <string_view>

namespace quarto {

enum class TMediaKind { Other, Picture, Clip, Sound };

struct TMediaType {
    std::string_view Extension; // lower case, with its dot: ".jpg"
    TMediaKind Kind = TMediaKind::Other;
    // The reader shows (a picture) or plays (a clip, a sound) it itself: a link to it opens the
    // viewer, the clip window or the player bar, and the viewer decodes the pictures.
    bool ReaderOpens = false;
    // make-edition takes it as a picture of pictures.txt: stored byte for byte when
    // SourceStoredAsIs, else encoded as JPEG under the name with ".jpg".
    bool SourcePicture = false;
    bool SourceStoredAsIs = false;
    // The extension an exported book gives it ("" when a book holds no such file), and whether
    // it is made JPEG on the way.
    std::string_view ExportedAs;
    bool ExportedAsJpeg = false;
    // Its media type in a book ("" when a book holds none).
    std::string_view BookMediaType;
};

inline constexpr TMediaType MediaTypes[] = {
    {".jpg", TMediaKind::Picture, true, true, true, ".jpg", false, "image/jpeg"},
    {".jpeg", TMediaKind::Picture, true, true, true, ".jpg", false, "image/jpeg"},
    {".png", TMediaKind::Picture, true, true, false, ".png", false, "image/png"},
    {".gif", TMediaKind::Picture, true, false, false, ".gif", false, "image/gif"},
    {".bmp", TMediaKind::Picture, true, false, false, ".jpg", true, ""},
    {".avi", TMediaKind::Clip, true, false, false, "", false, ""},
    {".mp3", TMediaKind::Sound, true, false, false, "", false, ""},
    {".wav", TMediaKind::Sound, true, false, false, "", false, ""},
    {".mid", TMediaKind::Sound, true, false, false, "", false, ""},
    {".midi", TMediaKind::Sound, true, false, false, "", false, ""},
    // The other sounds and clips of the period's discs, which the players play.
    {".mp2", TMediaKind::Sound, true, false, false, "", false, ""},
    {".mpg", TMediaKind::Clip, false, false, false, "", false, ""},
    {".mpeg", TMediaKind::Clip, false, false, false, "", false, ""},
    {".wmv", TMediaKind::Clip, false, false, false, "", false, ""},
    {".asf", TMediaKind::Clip, false, false, false, "", false, ""},
};

// What MediaTypeOf gives for an extension the table lacks: kind Other, used by no part.
inline constexpr TMediaType UnknownMediaType{};

// The entry of extension (lower case, with its dot; ExtensionOf gives it), or UnknownMediaType.
constexpr const TMediaType& MediaTypeOf(std::string_view extension) {
    for (const TMediaType& type : MediaTypes)
        if (type.Extension == extension)
            return type;
    return UnknownMediaType;
}

// The entry of the file name in path by its extension.
inline const TMediaType& MediaTypeOfName(std::string_view path) {
    return MediaTypeOf(ExtensionOf(path));
}

} // namespace quarto
