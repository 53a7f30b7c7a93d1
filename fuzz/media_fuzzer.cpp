// The music list "AudioData\All.dat" and the edition's audio and video lists, cut from one
// input, and the confinement of the file names they give.
#include "fuzzer_common.h"

#include "reader/media/MediaFormat.h"
#include "reader/media/MusicList.h"
#include "reader/media/SupplementLists.h"

using namespace quarto;
using namespace quarto::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Parts: "All.dat", "Audio\files.txt", "Video\files.txt".
    const std::vector<std::string_view> parts = SplitInput(data, size, 3);
    TMemoryScope memory;
    const std::string musicPath = "/fuzz/AudioData/All.dat";
    memory.Files.Put(musicPath, parts[0]);
    if (parts.size() > 1)
        memory.Files.Put(SupplementListPath(BookFolder, TSupplementKind::Audio), parts[1]);
    if (parts.size() > 2)
        memory.Files.Put(SupplementListPath(BookFolder, TSupplementKind::Video), parts[2]);

    const TMusicList music = ReadMusicList(musicPath);
    FUZZ_CHECK(music.Records.size() == parts[0].size() / MusicFormat::RecordSize);
    FUZZ_CHECK(music.TrailingBytes == parts[0].size() % MusicFormat::RecordSize);
    std::size_t tracks = 0;
    for (const TMusicAlbumNode& album : BuildMusicTree(music))
        for (const TMusicTrackNode& track : album.Tracks) {
            FUZZ_CHECK(track.Record >= 0 &&
                       static_cast<std::size_t>(track.Record) < music.Records.size());
            FUZZ_CHECK(static_cast<std::size_t>(track.Record) == tracks);
            ++tracks;
        }
    FUZZ_CHECK(tracks == music.Records.size());
    for (std::size_t i = 0; i < music.Records.size(); ++i) {
        const TMusicRecord& record = music.Records[i];
        FUZZ_CHECK(record.Position == i % MusicFormat::PositionModulus);
        FUZZ_CHECK(record.AlbumTitle.size() <= MusicFormat::ShortStringMaxLength &&
                   record.TrackTitle.size() <= MusicFormat::ShortStringMaxLength);
        // A track name never leads out of the folder "mp3".
        const std::string name = MusicTrackName(record);
        FUZZ_CHECK(name.find_first_of(std::string_view("/\\:\0", 4)) == std::string::npos);
    }

    for (const TSupplementKind kind : {TSupplementKind::Audio, TSupplementKind::Video}) {
        const TSupplementList list = ReadSupplementList(BookFolder, kind);
        FUZZ_CHECK(list.Titles.size() == list.Files.size());
        FUZZ_CHECK(list.Found == (parts.size() > (kind == TSupplementKind::Audio ? 1u : 2u)));
        for (std::size_t j = 0; j < list.Files.size() && j < 64; ++j) {
            const std::string folder = SupplementFolder(BookFolder, kind);
            const std::string confined = ConfinedPath(folder, list.Files[j]);
            if (!confined.empty()) {
                FUZZ_CHECK(confined.compare(0, folder.size(), folder) == 0);
                memory.Files.Put(confined, "RIFF");
            }
            const std::string path = SupplementFilePath(BookFolder, kind, list.Files[j]);
            FUZZ_CHECK(path.empty() || path.compare(0, folder.size() + 1, folder + "/") == 0);
        }
    }
    return 0;
}
