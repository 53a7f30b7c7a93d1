#include "MusicList.h"

#include "MediaFormat.h"

#include "common/Cp1251.h"
#include "common/EditionLayout.h"
#include "common/FileSystem.h"

#include <algorithm>

namespace quarto {

namespace {

// Layout::MusicList split at its "\": the folder and the file name.
std::string_view MusicListPart(bool folder) {
    const std::string_view whole = Layout::MusicList;
    const std::size_t slash = whole.rfind('\\');
    return folder ? whole.substr(0, slash) : whole.substr(slash + 1);
}

} // namespace

std::string ShortStringAt(std::string_view record, std::size_t offset) {
    if (offset >= record.size())
        return {};
    const auto length = static_cast<unsigned char>(record[offset]);
    // The length byte cannot pass 255; a record cut short can end before the text does.
    return std::string(record.substr(offset + 1, length));
}

TMusicList ParseMusicList(std::string_view bytes) {
    using namespace MusicFormat;
    TMusicList list;
    const std::size_t count = bytes.size() / RecordSize;
    list.TrailingBytes = bytes.size() % RecordSize;
    list.Records.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view record = bytes.substr(i * RecordSize, RecordSize);
        TMusicRecord& r = list.Records[i];
        r.AlbumNumber = static_cast<std::uint8_t>(record[AlbumNumberOffset]);
        r.AlbumTitle = ShortStringAt(record, AlbumTitleOffset);
        r.Position = static_cast<std::uint8_t>(i % PositionModulus);
        r.TrackTitle = ShortStringAt(record, TrackTitleOffset);
        r.TrackFile = ShortStringAt(record, TrackFileOffset);
    }
    return list;
}

TMusicList ReadMusicList(const std::string& path) {
    return ParseMusicList(ReadWholeFile(ResolvedOrGiven(path)));
}

std::string_view MusicListFolder() {
    return MusicListPart(true);
}

std::string_view MusicListName() {
    return MusicListPart(false);
}

std::string_view MusicTracksFolder() {
    return Layout::MusicTracksFolder;
}

std::string MusicTrackName(const TMusicRecord& record) {
    const std::string_view name = record.TrackFile;
    if (name.empty() || name.find_first_of(std::string_view("/\\:\0", 4)) != std::string::npos)
        return {};
    // With the extension added, "." and ".." become plain names ("..mp3", "...mp3").
    return Cp1251ToUtf8(name) + std::string(MusicFormat::TrackExtension);
}

std::vector<TMusicAlbumNode> BuildMusicTree(const TMusicList& list) {
    std::vector<TMusicAlbumNode> albums;
    for (std::size_t i = 0; i < list.Records.size(); ++i) {
        const TMusicRecord& record = list.Records[i];
        if (albums.empty() || albums.back().Number != record.AlbumNumber)
            albums.push_back({record.AlbumTitle, record.AlbumNumber, {}});
        // The node keeps the full index: the position byte repeats after 256 records.
        albums.back().Tracks.push_back({record.TrackTitle, static_cast<std::int32_t>(i)});
    }
    return albums;
}

} // namespace quarto
