// The music list and the audio and video lists: albums by changes of the number, lists longer
// than the position byte can count, short strings cut at their record, lists with a missing
// file line or none at all, names that would lead out of their folder, and failing reads.
#include "common/Cp1251.h"
#include "reader/media/MediaFormat.h"
#include "reader/media/MusicList.h"
#include "reader/media/SupplementLists.h"
#include "tools/MusicWriter.h"
#include "tools/SupplementWriter.h"

#include "EditionFixture.h"
#include "ExpectError.h"
#include "FaultFileSystem.h"

using namespace quarto;
using namespace quarto::test;

namespace {

std::string W(const std::string& utf8) {
    return Utf8ToCp1251(utf8);
}

TMusicEntry Track(std::uint8_t album, const std::string& albumTitle, const std::string& title,
                  const std::string& file) {
    TMusicEntry entry;
    entry.AlbumNumber = album;
    entry.AlbumTitle = W(albumTitle);
    entry.TrackTitle = W(title);
    entry.TrackFile = W(file);
    return entry;
}

class MediaLists : public ::testing::Test {
protected:
    TMusicList WriteAndRead(const TMusicSet& set) {
        WriteMusicList(set, Folder.Path());
        return ReadMusicList(Folder.Path() / "AudioData" / "All.dat");
    }
    TTempFolder Folder;
};

} // namespace

TEST_F(MediaLists, AlbumsStartWhereTheNumberChanges) {
    TMusicSet set;
    set.Records = {Track(1, "Вальсы", "Первый", "w1"), Track(1, "другое", "Второй", "w2"),
                   Track(2, "Марши", "Марш", "m1"), Track(2, "Марши", "Ещё марш", "m2"),
                   Track(1, "Вальсы снова", "Последний", "w3")};
    for (auto& record : set.Records)
        record.StoredPosition = 0xEE; // not used: loading sets the record's position
    const TMusicList list = WriteAndRead(set);
    ASSERT_EQ(list.Records.size(), 5u);
    EXPECT_EQ(list.TrailingBytes, 0u);
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_EQ(list.Records[i].Position, i);
    const std::vector<TMusicAlbumNode> tree = BuildMusicTree(list);
    ASSERT_EQ(tree.size(), 3u);
    const struct {
        int Number;
        const char* Title;
        std::vector<std::int32_t> Records;
    } expected[] = {{1, "Вальсы", {0, 1}}, {2, "Марши", {2, 3}}, {1, "Вальсы снова", {4}}};
    for (std::size_t a = 0; a < 3; ++a) {
        EXPECT_EQ(tree[a].Number, expected[a].Number);
        EXPECT_EQ(tree[a].Title, W(expected[a].Title)); // the album's first record names it
        std::vector<std::int32_t> records;
        for (const TMusicTrackNode& track : tree[a].Tracks)
            records.push_back(track.Record);
        EXPECT_EQ(records, expected[a].Records) << a;
    }
    EXPECT_EQ(tree[2].Tracks[0].Title, W("Последний"));
    EXPECT_EQ(MusicTrackName(list.Records[4]), "w3.mp3");
    EXPECT_TRUE(BuildMusicTree(ParseMusicList("")).empty());
}

TEST_F(MediaLists, EveryTrackOfALongListKeepsItsFullIndex) {
    TMusicSet set;
    for (int i = 0; i < 300; ++i)
        set.Records.push_back(Track(static_cast<std::uint8_t>(i / 100), "A",
                                    "T" + std::to_string(i), "t" + std::to_string(i)));
    const TMusicList list = WriteAndRead(set);
    ASSERT_EQ(list.Records.size(), 300u);
    EXPECT_EQ(list.Records[299].Position, 299 % 256); // the byte as loading sets it
    const std::vector<TMusicAlbumNode> tree = BuildMusicTree(list);
    ASSERT_EQ(tree.size(), 3u);
    for (const TMusicAlbumNode& album : tree)
        for (const TMusicTrackNode& track : album.Tracks) {
            const TMusicRecord& record = list.Records[static_cast<std::size_t>(track.Record)];
            EXPECT_EQ(track.Title, "T" + std::to_string(track.Record));
            EXPECT_EQ(MusicTrackName(record), "t" + std::to_string(track.Record) + ".mp3");
        }
}

TEST_F(MediaLists, ShortStringsAreCutAtTheirRecord) {
    using namespace MusicFormat;
    const std::string full(300, 'x');
    TMusicSet set;
    set.Records.resize(4);
    set.Records[0].AlbumTitle = full;  // 255 bytes stored, length byte 255
    set.Records[1].TrackTitle = "abc"; // length byte 200: the slot's bytes after it
    set.Records[1].TrackTitleLength = 200;
    set.Records[2].TrackFile = "name"; // length byte 0: empty
    set.Records[2].TrackFileLength = 0;
    set.Records[3].TrackFile = std::string(255, 'f');
    set.Tail = std::string(RecordSize - 100, 'z'); // a partial record
    const TMusicList list = WriteAndRead(set);
    ASSERT_EQ(list.Records.size(), 4u);
    EXPECT_EQ(list.TrailingBytes, RecordSize - 100);
    EXPECT_EQ(list.Records[0].AlbumTitle, std::string(255, 'x'));
    EXPECT_EQ(list.Records[1].TrackTitle, "abc" + std::string(197, '\0'));
    EXPECT_EQ(list.Records[2].TrackFile, "");
    EXPECT_EQ(MusicTrackName(list.Records[2]), ""); // no name, no track
    EXPECT_EQ(list.Records[3].TrackFile.size(), 255u);

    // A record cut short: the text ends with it.
    const std::string bytes = EncodeMusicList(set);
    const std::string_view record = std::string_view(bytes).substr(3 * RecordSize, 600);
    EXPECT_EQ(ShortStringAt(record, TrackFileOffset), std::string(600 - 515, 'f'));
    EXPECT_EQ(ShortStringAt(record, 600), "");
    EXPECT_EQ(ShortStringAt(record, 599), "");
}

TEST_F(MediaLists, TrackNamesStayInTheTracksFolder) {
    const struct {
        std::string Stored;
        std::string Name;
    } cases[] = {
        {"song", "song.mp3"}, {W("Вальс"), "Вальс.mp3"}, {"..", "...mp3"}, {"../secret", ""},
        {"a\\b", ""},         {"/etc/passwd", ""},       {"C:song", ""},   {"", ""}};
    for (const auto& c : cases) {
        TMusicRecord record;
        record.TrackFile = c.Stored;
        EXPECT_EQ(MusicTrackName(record), c.Name) << c.Stored;
    }
    EXPECT_EQ(MusicListFolder(), "AudioData");
    EXPECT_EQ(MusicListName(), "All.dat");
    EXPECT_EQ(MusicTracksFolder(), "mp3");
}

TEST_F(MediaLists, SupplementListsTakePairsOfLines) {
    const struct {
        std::vector<std::string> Lines;
        std::vector<std::string> Titles;
        std::vector<std::string> Files;
        const char* Problem;
    } cases[] = {
        {{W("Гимн"), "hymn.wav", W("Речь"), "speech.mp3"},
         {W("Гимн"), W("Речь")},
         {"hymn.wav", "speech.mp3"},
         nullptr},
        {{W("Гимн"), "hymn.wav", W("Без файла")},
         {W("Гимн")},
         {"hymn.wav"},
         "строка 3: у названия «Без файла» нет строки с именем файла"},
        {{}, {}, {}, "files.txt» пуст; страница «Аудиоприложения» пуста"},
    };
    for (const auto& c : cases) {
        WriteSupplementList(c.Lines, Folder.Path(), TSupplementKind::Audio);
        const TSupplementList list = ReadAudioList(Folder.Path());
        EXPECT_TRUE(list.Found);
        EXPECT_EQ(list.Titles, c.Titles) << c.Lines.size();
        EXPECT_EQ(list.Files, c.Files) << c.Lines.size();
        if (!c.Problem) {
            EXPECT_TRUE(list.Problems.empty()) << list.Problems.front();
        } else {
            ASSERT_EQ(list.Problems.size(), 1u) << c.Lines.size();
            EXPECT_NE(list.Problems[0].find(c.Problem), std::string::npos) << list.Problems[0];
        }
    }
    // The video list is the same, in its own folder; a missing one gives an empty page.
    const TSupplementList missing = ReadVideoList(Folder.Path());
    EXPECT_FALSE(missing.Found);
    EXPECT_TRUE(missing.Titles.empty());
    ASSERT_EQ(missing.Problems.size(), 1u);
    EXPECT_NE(missing.Problems[0].find("Video"), std::string::npos) << missing.Problems[0];
    EXPECT_NE(missing.Problems[0].find("страница «Видеоприложения» пуста"), std::string::npos)
        << missing.Problems[0];
    WriteFiles(Folder.Path(), {{"VIDEO/Files.TXT", "Clip\r\nclip.avi\n"}});
    EXPECT_EQ(ReadVideoList(Folder.Path()).Files, std::vector<std::string>{"clip.avi"});
}

TEST_F(MediaLists, NamesFromAListStayInTheirFolder) {
    const struct {
        const char* Name;
        const char* Path;
    } cases[] = {{"a.mp3", "/book/Audio/a.mp3"},
                 {"sub/a.mp3", "/book/Audio/sub/a.mp3"},
                 {"sub\\..\\.\\a.mp3", "/book/Audio/a.mp3"},
                 {"sub//a.mp3", "/book/Audio/sub/a.mp3"},
                 {"../cData.dat", ""},
                 {"sub/../../x", ""},
                 {"..\\..\\x", ""},
                 {"/etc/passwd", ""},
                 {"\\x", ""},
                 {"C:\\x", ""},
                 {"C:x", ""},
                 {"", ""},
                 {".", ""},
                 {"sub/..", ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(ConfinedPath(NativePath("/book/Audio"), c.Name), NativePath(c.Path)) << c.Name;
    }

    // Found ignoring letter case; a file outside the folder is not played though it exists.
    WriteFiles(Folder.Path(), {{"audio/Sub/Hymn.WAV", "RIFF"}, {"cContents.dat", "x"}});
    EXPECT_EQ(PathKey(SupplementFilePath(Folder.Path(), TSupplementKind::Audio, "sub\\hymn.wav")),
              PathKey(Folder.Path() / "audio" / "Sub" / "Hymn.WAV"));
    EXPECT_EQ(SupplementFilePath(Folder.Path(), TSupplementKind::Audio, "..\\cContents.dat"), "");
    EXPECT_EQ(SupplementFilePath(Folder.Path(), TSupplementKind::Audio, "none.wav"), "");
    EXPECT_EQ(SupplementFilePath(Folder.Path(), TSupplementKind::Video, "sub\\hymn.wav"), "");
    WriteFiles(Folder.Path(), {{"audio/Гимн.wav", "RIFF"}});
    EXPECT_EQ(PathKey(SupplementFilePath(Folder.Path(), TSupplementKind::Audio, W("Гимн.wav"))),
              PathKey(Folder.Path() / "audio" / "Гимн.wav")); // 1251 name, UTF-8 path
}

TEST_F(MediaLists, FailingReadsGiveClearMessages) {
    TMusicSet set;
    set.Records = {Track(1, "A", "one", "one"), Track(1, "A", "two", "two")};
    WriteMusicList(set, Folder.Path());
    WriteSupplementList({"T", "a.wav"}, Folder.Path(), TSupplementKind::Audio);
    const std::string music = Folder.Path() / "AudioData" / "All.dat";

    TFaultFileSystem files;
    const TFileSystemScope scope(files);
    // A read that ends early counts only the whole records it got.
    files.ShortReadAt("All.dat", MusicFormat::RecordSize + 96);
    const TMusicList cut = ReadMusicList(music);
    EXPECT_EQ(cut.Records.size(), 1u);
    EXPECT_EQ(cut.TrailingBytes, 96u);

    files.FailReadAt("All.dat", 10);
    ExpectThrowContaining<EStreamError>([&] { ReadMusicList(music); },
                                        {"All.dat", "ошибка чтения"});
    files.FailOpen("files.txt");
    const TSupplementList list = ReadAudioList(Folder.Path());
    EXPECT_TRUE(list.Found);
    EXPECT_TRUE(list.Titles.empty());
    ASSERT_EQ(list.Problems.size(), 1u);
    EXPECT_NE(list.Problems[0].find("files.txt"), std::string::npos) << list.Problems[0];
    EXPECT_NE(list.Problems[0].find("Страница «Аудиоприложения» пуста."), std::string::npos)
        << list.Problems[0];
}
