#include "EditionCheck.h"

#include "common/AsciiText.h"
#include "common/Cp1251.h"
#include "common/FileSystem.h"
#include "common/IniFile.h"
#include "common/JpegCodec.h"
#include "common/RecordFile.h"
#include "reader/core/ContentsFile.h"
#include "reader/core/ContentsTree.h"
#include "reader/core/TextStore.h"
#include "reader/media/Illustrations.h"
#include "reader/media/MediaFormat.h"
#include "reader/media/MusicList.h"
#include "reader/media/PicDataFormat.h"
#include "reader/media/SupplementLists.h"
#include "reader/search/SearchIndex.h"

#include <algorithm>
#include <optional>

namespace quarto {
namespace {

void CheckDescriptor(const Tbook& book, std::vector<std::string>& problems) {
    const std::string path = ResolvePath(DescriptorPath(book.BookFolder));
    const TIniFile ini = TIniFile::Load(path);
    for (const char* key : {"Title", "Title2", "RegKey"})
        if (!ini.Find("Main", key))
            problems.push_back(std::string(Layout::Descriptor) + ": [Main] " + key +
                               " is missing.");
    const std::string folderName = FileNameOf(book.BookFolder);
    if (ini.Find("Main", "RegKey") && Cp1251ToUtf8(book.RegKey) != folderName)
        problems.push_back(std::string(Layout::Descriptor) + ": RegKey \"" +
                           Cp1251ToUtf8(book.RegKey) + "\" differs from the folder name \"" +
                           folderName + "\".");
    for (const char* option : {"Audio", "Pictures", "Music", "Video", "UTF", "BR"}) {
        const std::optional<std::string> value = ini.Find("Options", option);
        if (!value)
            continue;
        const auto n = ParseIniInteger(*value);
        if (!n || (*n != 0 && *n != 1))
            problems.push_back(std::string(Layout::Descriptor) + ": [Options] " + option + " = \"" +
                               Cp1251ToUtf8(*value) + "\" is neither 0 nor 1 (the option is off).");
    }
}

// The word index: every vocabulary line has its start, every start and article number lies
// inside the files, every article record of the positions file reads whole.
void CheckSearchIndex(const Tbook& book, std::size_t articleCount,
                      std::vector<std::string>& problems) {
    using namespace SearchIndexFormat;
    TSearchIndex index(book.BookFolder);
    bool complete = true;
    for (const char* name : {VocabularyFile, StartsFile, PostingsFile, PositionsFile})
        if (!FileExists(index.PathOf(name))) {
            problems.push_back(std::string(name) + ": the word index file is missing; searching "
                                                   "the edition fails.");
            complete = false;
        }
    if (!complete)
        return;
    const auto count = static_cast<std::int32_t>(articleCount);
    try {
        index.LoadVocabulary();
        for (std::int32_t i = 0; i < index.VocabularySize(); ++i) {
            const std::string_view line = index.VocabularyLine(i);
            if (LowerCase1251(line) != line)
                problems.push_back(std::string(VocabularyFile) + ", line " + std::to_string(i + 1) +
                                   ": \"" + Cp1251ToUtf8(line) +
                                   "\" has capital letters; no query can find it.");
        }
    } catch (const std::exception& e) {
        problems.push_back(e.what());
        return;
    }
    try {
        index.OpenPostings();
        std::vector<std::int32_t> articles;
        for (std::int32_t i = 0; i < index.VocabularySize(); ++i) {
            articles.clear();
            try {
                index.ReadPostings(i, count, articles);
            } catch (const std::exception& e) {
                problems.push_back(std::string(StartsFile) + ", line " + std::to_string(i + 1) +
                                   " of " + VocabularyFile + ": " + e.what());
            }
        }
    } catch (const std::exception& e) {
        problems.push_back(e.what());
    }
    try {
        index.OpenPositions();
        for (std::int32_t a = 0; a < count; ++a) {
            try {
                for (const std::vector<std::int32_t>& entry : index.ReadArticlePositions(a))
                    if (entry.front() < 0 || entry.front() >= index.VocabularySize()) {
                        problems.push_back(std::string(PositionsFile) + ", article " +
                                           std::to_string(a) + ": vocabulary index " +
                                           std::to_string(entry.front()) + " names no line of " +
                                           VocabularyFile + ".");
                        break;
                    }
            } catch (const std::exception& e) {
                problems.push_back(std::string(PositionsFile) + ", article " + std::to_string(a) +
                                   ": " + e.what());
            }
        }
    } catch (const std::exception& e) {
        problems.push_back(e.what());
    }
}

// The illustration catalogue and every thumbnail. Full pictures are not looked for: they may
// lie on a disc.
void CheckPictures(const Tbook& book, std::vector<std::string>& problems) {
    const std::string picData = PicDataPath(book.BookFolder, "");
    if (!book.Pictures && !FolderExists(picData))
        return;
    const std::string picDataName = std::string("PicData/");
    TIllustrations catalogue;
    try {
        catalogue = ReadIllustrations(book.BookFolder);
    } catch (const std::exception& e) {
        problems.push_back(picDataName + ": " + e.what());
        return;
    }
    if (!catalogue.HasTitles)
        problems.push_back(picDataName + Layout::PicTitlesFile +
                           ": missing; the picture titles and the title tree are empty.");
    for (const std::string& problem : catalogue.Problems)
        problems.push_back(problem);
    for (std::size_t i = 0; i < catalogue.PicInfo.size(); ++i) {
        const std::string& file = catalogue.PicInfo[i].PicFile;
        if (i >= catalogue.PictureFiles.size())
            problems.push_back(picDataName + Layout::PicFilesFile + ": no line " +
                               std::to_string(i) + " for entry " + std::to_string(i) +
                               "; its picture cannot be opened.");
        else if (AsciiLowered(catalogue.PictureFiles[i]) != file)
            problems.push_back(picDataName + Layout::PicFilesFile + ", line " + std::to_string(i) +
                               ": \"" + Cp1251ToUtf8(catalogue.PictureFiles[i]) +
                               "\" differs from the file line \"" + Cp1251ToUtf8(file) +
                               "\" of entry " + std::to_string(i) + ".");
    }
    TThumbnailData thumbnails;
    try {
        thumbnails.Reload(book.BookFolder);
    } catch (const std::exception& e) {
        problems.push_back(picDataName + ": " + e.what());
        return;
    }
    const std::string cellsName = picDataName + Layout::CellFilesFile;
    if (catalogue.CellFiles.size() < static_cast<std::size_t>(thumbnails.Count()))
        problems.push_back(cellsName + ": " + std::to_string(catalogue.CellFiles.size()) +
                           " cells for " + std::to_string(thumbnails.Count()) + " thumbnails of " +
                           Layout::ThumbOffsetsFile + "; the cells from " +
                           std::to_string(catalogue.CellFiles.size()) + " on show no picture.");
    for (int k = 0; k < thumbnails.Count(); ++k) {
        const std::string cell = ", cell " + std::to_string(k) + ": ";
        if (static_cast<std::size_t>(k) < catalogue.CellFiles.size()) {
            const std::int32_t line = catalogue.CellFiles[static_cast<std::size_t>(k)].Line;
            if (PictureLineOfCell(catalogue, k) < 0)
                problems.push_back(cellsName + cell + "line " + std::to_string(line) +
                                   " lies outside " + Layout::PicFilesFile + " (" +
                                   std::to_string(catalogue.PictureFiles.size()) + " lines).");
            else if (catalogue.HasTitles && EntryOfCell(catalogue, k) < 0)
                problems.push_back(cellsName + cell + "no entry names line " +
                                   std::to_string(line) + " of " + Layout::PicFilesFile +
                                   "; its title is empty.");
        }
        const std::string where = picDataName + Layout::ThumbDataFile + cell;
        if (const std::string problem = thumbnails.ProblemOf(k); !problem.empty()) {
            problems.push_back(where + problem + ".");
            continue;
        }
        try {
            const TDibPicture thumbnail = DecodeJpeg(thumbnails.Bytes(k));
            if (thumbnail.Width > PicDataFormat::CellSize ||
                thumbnail.Height > PicDataFormat::CellSize)
                problems.push_back(where + "the thumbnail is " + std::to_string(thumbnail.Width) +
                                   " x " + std::to_string(thumbnail.Height) +
                                   ", larger than its cell; it covers its neighbours.");
        } catch (const std::exception& e) {
            problems.push_back(where + e.what());
        }
    }
}

// The audio or video list of an edition that has the option or the folder, and every file
// its items name.
void CheckSupplements(const Tbook& book, TSupplementKind kind, std::vector<std::string>& problems) {
    const bool audio = kind == TSupplementKind::Audio;
    const std::string folderName = audio ? Layout::AudioFolder : Layout::VideoFolder;
    if (!(audio ? book.Audio : book.Video) &&
        !FolderExists(SupplementFolder(book.BookFolder, kind)))
        return;
    const TSupplementList list = ReadSupplementList(book.BookFolder, kind);
    problems.insert(problems.end(), list.Problems.begin(), list.Problems.end());
    std::string listName = audio ? Layout::AudioList : Layout::VideoList;
    std::replace(listName.begin(), listName.end(), '\\', '/');
    for (std::size_t j = 0; j < list.Files.size(); ++j) {
        const std::string& file = list.Files[j];
        if (!SupplementFilePath(book.BookFolder, kind, file).empty())
            continue;
        const std::string where =
            listName + ", item " + std::to_string(j) + ": \"" + Cp1251ToUtf8(file) + "\" ";
        if (ConfinedPath(folderName, Cp1251ToUtf8(file)).empty())
            problems.push_back(where + "leads outside the folder " + folderName +
                               "; the item plays nothing.");
        else
            problems.push_back(where + "is missing from the folder " + folderName +
                               "; the item plays nothing.");
    }
}

// The music list where the reader finds it, and every track.
void CheckMusic(const Tbook& book, const TDiscFinder& findOnDisc,
                std::vector<std::string>& problems) {
    if (!book.Music || !findOnDisc)
        return;
    const std::string path = findOnDisc(MusicListFolder(), MusicListName());
    if (path.empty())
        return;
    TMusicList list;
    try {
        list = ReadMusicList(path);
    } catch (const std::exception& e) {
        problems.push_back(e.what());
        return;
    }
    if (list.TrailingBytes != 0)
        problems.push_back(path + ": " + std::to_string(list.TrailingBytes) + " bytes at offset " +
                           std::to_string(list.Records.size() * MusicFormat::RecordSize) +
                           " do not make a whole record; they are not read.");
    const std::string folder(MusicTracksFolder());
    for (std::size_t i = 0; i < list.Records.size(); ++i) {
        const std::string where = path + ", record " + std::to_string(i) + ": ";
        const std::string name = MusicTrackName(list.Records[i]);
        if (name.empty())
            problems.push_back(
                where + "the file name \"" + Cp1251ToUtf8(list.Records[i].TrackFile) +
                "\" is empty or leads outside the folder " + folder + "; the track is not played.");
        else if (findOnDisc(folder, name).empty())
            problems.push_back(where + "the track " + folder + "/" + name +
                               " is neither beside the reader nor on a disc.");
    }
}

} // namespace

std::vector<std::string> CheckEdition(const Tbook& book, const TDiscFinder& findOnDisc) {
    std::vector<std::string> problems;
    CheckDescriptor(book, problems);

    const std::string contentsPath = ResolvePath(ContentsPath(book.BookFolder));
    std::string bytes;
    try {
        bytes = ReadWholeFile(contentsPath);
    } catch (const std::exception& e) {
        problems.push_back(std::string(ContentsFormat::FileName) + ": " + e.what());
        return problems;
    }
    const std::vector<TContentsRec> list = ParseContents(bytes);
    if (const std::size_t rest = bytes.size() % ContentsFormat::RecordSize; rest != 0)
        problems.push_back(std::string(ContentsFormat::FileName) + ": " + std::to_string(rest) +
                           " bytes at offset " + std::to_string(bytes.size() - rest) +
                           " do not make a whole record; they are not read.");
    if (list.empty())
        problems.push_back(std::string(ContentsFormat::FileName) + ": the contents are empty.");

    const TContentsTree tree = BuildContentsTree(list);
    for (int entry : tree.LeftOut) {
        const std::string upper = UpperCase1251(list[static_cast<std::size_t>(entry)].Title);
        if (upper.find(HiddenTitleMark) == std::string::npos)
            problems.push_back(std::string(ContentsFormat::FileName) + ", entry " +
                               std::to_string(entry) + ": level " +
                               std::to_string(list[static_cast<std::size_t>(entry)].Level) +
                               " jumps more than one level below the entry before; it is left "
                               "out of the contents tree.");
    }

    std::optional<TTextStore> store;
    try {
        store.emplace(book.BookFolder);
    } catch (const std::exception& e) {
        problems.push_back(std::string(TextStoreFormat::FileName) + ": " + e.what());
    }
    for (std::size_t i = 0; i < list.size(); ++i) {
        const TContentsRec& rec = list[i];
        const std::string where =
            std::string(ContentsFormat::FileName) + ", entry " + std::to_string(i) + ": ";
        if (rec.ArticleNo != static_cast<std::int32_t>(i))
            problems.push_back(where + "ArticleNo " + std::to_string(rec.ArticleNo) +
                               " differs from the entry's position.");
        if (rec.Kind != KindPlainText && rec.Kind != KindHtml)
            problems.push_back(where + "kind " + std::to_string(rec.Kind) +
                               " is neither 0 (plain text) nor 1 (HTML); the article shows empty.");
        if (store) {
            try {
                store->ReadRecord(rec.DataOffset);
            } catch (const std::exception& e) {
                problems.push_back(where + e.what());
            }
        }
    }
    CheckSearchIndex(book, list.size(), problems);
    CheckPictures(book, problems);
    CheckSupplements(book, TSupplementKind::Audio, problems);
    CheckSupplements(book, TSupplementKind::Video, problems);
    CheckMusic(book, findOnDisc, problems);
    return problems;
}

} // namespace quarto
