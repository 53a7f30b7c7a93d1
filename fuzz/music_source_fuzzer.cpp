// A series' music source: music.txt and the tracks it names, written by make-music in memory
// (ReadMusicSource, MakeMusic). A faulty source is an EEditionSourceError with a message; one
// that reads writes an All.dat that the engine reads back with the same albums, titles and
// track names, and every track is stored in mp3 under its name with the source's bytes.
//
// Part 1: music.txt; the parts after it: the tracks its track lines name (their first field),
// in turn.
#include "fuzzer_common.h"

#include "reader/media/MusicList.h"
#include "tools/EditionWriter.h"
#include "tools/MusicWriter.h"

using namespace quarto;
using namespace quarto::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string_view> parts = SplitInput(data, size, 9);
    TMemoryScope memory;
    const std::string src = "/fuzz/src";
    const std::string out = "/fuzz/app";
    memory.Files.Put(src + "/music.txt", parts[0]);
    PutNamedFiles(memory.Files, src, SourceLineFields(parts[0], 0, "="), parts, 1);

    TMusicSource source;
    try {
        source = ReadMusicSource(src);
        MakeMusic(src, out);
    } catch (const EEditionSourceError& e) {
        FUZZ_CHECK(*e.what() != '\0');
        return 0;
    }
    const TMusicList list = ReadMusicList(
        JoinPath(JoinPath(out, std::string(MusicListFolder())), std::string(MusicListName())));
    const std::vector<TMusicEntry>& written = source.Set.Records;
    FUZZ_CHECK(list.Records.size() == written.size());
    FUZZ_CHECK(list.TrailingBytes == 0);
    for (std::size_t i = 0; i < written.size(); ++i) {
        const TMusicRecord& record = list.Records[i];
        FUZZ_CHECK(record.AlbumNumber == written[i].AlbumNumber);
        FUZZ_CHECK(record.AlbumTitle == written[i].AlbumTitle.substr(0, 255));
        FUZZ_CHECK(record.TrackTitle == written[i].TrackTitle.substr(0, 255));
        FUZZ_CHECK(record.TrackFile == written[i].TrackFile.substr(0, 255));
    }
    const std::string tracks = JoinPath(out, std::string(MusicTracksFolder()));
    for (const auto& [from, stored] : source.Copies)
        FUZZ_CHECK(memory.Files.Get(JoinPath(tracks, stored)) == memory.Files.Get(from));
    (void)BuildMusicTree(list);
    return 0;
}
