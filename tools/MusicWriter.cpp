#include "MusicWriter.h"

#include "EditionWriter.h"
#include "SourceLines.h"

#include "common/AsciiText.h"
#include "common/Cp1251.h"
#include "common/EditionLayout.h"
#include "common/FileSystem.h"
#include "reader/media/MediaFormat.h"
#include "reader/media/MusicList.h"

#include <algorithm>
#include <map>
#include <sstream>

namespace quarto {

namespace {

void PutShortString(std::string& record, std::size_t offset, const std::string& text,
                    const std::optional<std::uint8_t>& length) {
    const std::size_t stored = std::min(text.size(), MusicFormat::ShortStringMaxLength);
    record[offset] = static_cast<char>(length ? *length : stored);
    record.replace(offset + 1, stored, text, 0, stored);
}

} // namespace

std::string EncodeMusicList(const TMusicSet& set) {
    using namespace MusicFormat;
    std::string bytes;
    bytes.reserve(set.Records.size() * RecordSize + set.Tail.size());
    for (std::size_t i = 0; i < set.Records.size(); ++i) {
        const TMusicEntry& entry = set.Records[i];
        std::string record(RecordSize, '\0');
        record[AlbumNumberOffset] = static_cast<char>(entry.AlbumNumber);
        PutShortString(record, AlbumTitleOffset, entry.AlbumTitle, entry.AlbumTitleLength);
        record[PositionOffset] =
            static_cast<char>(entry.StoredPosition ? *entry.StoredPosition : i % PositionModulus);
        PutShortString(record, TrackTitleOffset, entry.TrackTitle, entry.TrackTitleLength);
        PutShortString(record, TrackFileOffset, entry.TrackFile, entry.TrackFileLength);
        bytes += record;
    }
    bytes += set.Tail;
    return bytes;
}

void WriteMusicList(const TMusicSet& set, const std::string& root) {
    const std::string path = LayoutPath(root, Layout::MusicList);
    CreateFolders(ParentOf(path));
    WriteWholeFile(path, EncodeMusicList(set));
}

TMusicSource ReadMusicSource(const std::string& src) {
    if (FileSystem().Stat(src).Kind != TEntryKind::Folder)
        throw EEditionSourceError(src + ": no such source folder.");
    const std::string listPath = JoinPath(src, "music.txt");
    if (FileSystem().Stat(listPath).Kind != TEntryKind::File)
        throw EEditionSourceError(listPath + ": the music outline is missing.");
    const std::string text = ReadSourceFile(listPath);
    TMusicSource result;
    std::map<std::string, std::string> storedFrom; // stored stem -> source path
    std::optional<TMusicEntry> album;              // the album of the tracks that follow
    ForEachSourceLine(text, listPath, [&](const TSourceLine& source) {
        const std::string& line = source.Text;
        const std::size_t first = source.First;
        const auto fail = [&](const std::string& what) { source.Fail(what); };
        const auto to1251 = [&](const std::string& utf8, const char* what) {
            std::string out = source.To1251(utf8);
            if (out.size() > MusicFormat::ShortStringMaxLength)
                fail(std::string("the ") + what + " is longer than 255 characters.");
            return out;
        };
        TSourceFields fields(line, line[first] == '=' ? first + 1 : first);
        const std::string token = fields.Next();
        const std::string title = fields.Rest();
        if (line[first] == '=') {
            if (token.empty() || token.size() > 3 ||
                token.find_first_not_of("0123456789") != std::string::npos ||
                std::stoi(token) > 255)
                fail("the album number \"" + token + "\" is not a number from 0 to 255.");
            album.emplace();
            album->AlbumNumber = static_cast<std::uint8_t>(std::stoi(token));
            album->AlbumTitle = to1251(title, "album title");
            return;
        }
        if (!album)
            fail("a track before the first album line (= NUMBER TITLE).");
        const std::string& file = token;
        if (file.find_first_of("/\\:") != std::string::npos || file == "." || file == "..")
            fail("\"" + file + "\" is not a plain file name of the source folder.");
        const std::string extension(MusicFormat::TrackExtension);
        if (file.size() <= extension.size() || !EndsIgnoringAsciiCase(file, extension))
            fail("\"" + file + "\": a track must be an .mp3 file.");
        const std::string path = ResolvePath(JoinPath(src, file));
        if (path.empty() || FileSystem().Stat(path).Kind != TEntryKind::File)
            fail(JoinPath(src, file) + " does not exist.");
        const std::string stem = file.substr(0, file.size() - extension.size());
        const auto [known, added] = storedFrom.emplace(stem, path);
        if (!added && known->second != path)
            fail(path + " and " + known->second + " are both stored as " + stem + extension + ".");
        if (added)
            result.Copies.emplace_back(path, stem + extension);
        TMusicEntry entry = *album;
        entry.TrackTitle = to1251(title, "track title");
        entry.TrackFile = to1251(stem, "file name");
        result.Set.Records.push_back(std::move(entry));
    });
    return result;
}

void MakeMusic(const std::string& src, const std::string& out) {
    const TMusicSource source = ReadMusicSource(src);
    WriteMusicList(source.Set, out);
    const std::string tracks = LayoutPath(out, Layout::MusicTracksFolder);
    CreateFolders(tracks);
    for (const auto& [from, stored] : source.Copies)
        FileSystem().CopyFile(from, JoinPath(tracks, stored));
}

} // namespace quarto
