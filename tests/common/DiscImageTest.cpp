// Disc images read in place: the Rock Ridge and Joliet trees of images made at build time from
// a small tree (Cyrillic and mixed-case names, nested folders, a file of several blocks), the
// image as a folder of the file layer, and damaged images made by cutting and patching a good
// one.
#include "common/DiscImage.h"

#include "EditionFixture.h"
#include "ExpectError.h"
#include "FaultFileSystem.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace quarto;
using namespace quarto::test;

namespace {

// Spelled as the file layer spells absolute paths (from a drive's root on Windows).
const std::string Images = SystemFileSystem().AbsolutePath(QUARTO_TEST_IMAGES);
const std::string RockRidge = JoinPath(Images, "rock-ridge.iso");
const std::string Joliet = JoinPath(Images, "joliet.iso");

std::string BigFile() {
    std::string line = "abcdefghijklmnopqrstuvwxyz0123456789\n", all;
    for (int i = 0; i < 300; ++i)
        all += line;
    return all;
}

std::string ReadAll(TReadableFile& file) {
    std::string bytes(static_cast<std::size_t>(file.Size()), '\0');
    EXPECT_EQ(file.ReadAt(0, bytes.data(), bytes.size()), bytes.size());
    return bytes;
}

} // namespace

class DiscImageTrees : public ::testing::TestWithParam<std::string> {};

TEST_P(DiscImageTrees, ListsStatsAndReadsTheTree) {
    const auto image = TDiscImage::Open(GetParam(), SystemFileSystem());
    EXPECT_EQ(image->NameKind(), GetParam() == RockRidge ? "Rock Ridge" : "Joliet");
    auto root = image->List("");
    ASSERT_TRUE(root);
    std::sort(root->begin(), root->end());
    EXPECT_EQ(*root, (std::vector<std::string>{"Книги", "Пустая"}));
    EXPECT_EQ(image->List("Пустая"), std::vector<std::string>{});
    EXPECT_EQ(image->Stat("Книги/NightSky").Kind, TEntryKind::Folder);
    EXPECT_EQ(image->Stat("Книги\\NightSky\\Base\\MixedCase.Htm").Kind, TEntryKind::File);
    EXPECT_EQ(image->Stat("книги/NightSky").Kind, TEntryKind::None); // exact, as spelled
    EXPECT_FALSE(image->List("Книги/NightSky/ReadMe.TXT"));

    const std::string big = BigFile();
    const TFileInfo info = image->Stat("/Книги/NightSky/Deep/Deeper/Большой.Bin");
    EXPECT_EQ(info.Kind, TEntryKind::File);
    EXPECT_EQ(info.Size, static_cast<std::int64_t>(big.size()));
    const auto file = image->OpenForReading("Книги/NightSky/Deep/Deeper/Большой.Bin", "shown");
    EXPECT_EQ(file->Path(), "shown");
    EXPECT_EQ(ReadAll(*file), big);
    // Odd offsets across the block boundary, at the end and past it.
    char buffer[5000];
    for (const std::int64_t offset : {1, 2047, 2049, 4095, 11000}) {
        const std::size_t n = file->ReadAt(offset, buffer, sizeof buffer);
        ASSERT_EQ(n, std::min<std::size_t>(sizeof buffer, big.size() - offset)) << offset;
        EXPECT_EQ(std::string(buffer, n), big.substr(offset, n)) << offset;
    }
    EXPECT_EQ(file->ReadAt(static_cast<std::int64_t>(big.size()), buffer, 10), 0u);
    EXPECT_EQ(file->ReadAt(static_cast<std::int64_t>(big.size()) + 4096, buffer, 10), 0u);
    ExpectThrowContaining<EStreamError>(
        [&] { image->OpenForReading("Книги/nothing", "x/nothing"); }, {"x/nothing"});
    ExpectThrowContaining<EStreamError>([&] { image->OpenForReading("Книги", "x/Книги"); },
                                        {"x/Книги", "папка"});
}

INSTANTIATE_TEST_SUITE_P(RockRidgeAndJoliet, DiscImageTrees, ::testing::Values(RockRidge, Joliet),
                         [](const auto& info) {
                             return info.param == RockRidge ? "RockRidge" : "Joliet";
                         });

TEST(DiscImage, ReadsARockRidgeNameFromItsContinuationArea) {
    const auto image = TDiscImage::Open(RockRidge, SystemFileSystem());
    std::string longName;
    for (int i = 0; i < 16; ++i)
        longName += "Длинное";
    const auto file = image->OpenForReading("Книги/" + longName + ".txt", "long");
    EXPECT_EQ(ReadAll(*file), "long");
}

TEST(DiscImage, FollowsAFolderRelocatedForDepth) {
    const auto image = TDiscImage::Open(Images + "/relocated.iso", SystemFileSystem());
    EXPECT_EQ(image->NameKind(), "Rock Ridge");
    const std::string folder = "Книги/NightSky/Deep/Deeper/1/2/3/4/5";
    EXPECT_EQ(image->Stat(folder).Kind, TEntryKind::Folder);
    EXPECT_EQ(ReadAll(*image->OpenForReading(folder + "/Глубоко.txt", "deep")), "deep");
    // The moved folder is not seen a second time in rr_moved.
    EXPECT_EQ(image->List("rr_moved"), std::vector<std::string>{});
}

TEST(DiscImage, IsAFolderOfTheFileLayerOnceMounted) {
    TImageFileSystem files(SystemFileSystem());
    const TFileSystemScope scope(files);
    const std::string root = files.Mount(RockRidge);
    EXPECT_EQ(root, RockRidge);
    EXPECT_EQ(files.Mount(RockRidge), root);
    EXPECT_TRUE(files.IsMounted(root));
    EXPECT_EQ(files.Stat(root).Kind, TEntryKind::Folder);

    // Case folded inside the image as everywhere else.
    const std::string readMe = ResolvePath(root + "/КНИГИ/nightsky/readme.txt");
    EXPECT_EQ(readMe, root + NativePath("/Книги/NightSky/ReadMe.TXT"));
    EXPECT_EQ(ReadWholeFile(readMe), "Звёздное небо\n");
    EXPECT_EQ(FileSystem().Map(readMe)->Size(), std::strlen("Звёздное небо\n"));
    EXPECT_TRUE(FileExists(root + "\\книги\\NIGHTSKY\\BASE\\mixedcase.htm"));
    EXPECT_TRUE(FolderExists(root + "/книги/nightsky/deep/DEEPER"));
    EXPECT_EQ(ListFolder(root + "/книги/nightsky"),
              (std::vector<std::string>{"Base", "Deep", "ReadMe.TXT"}));
    EXPECT_EQ(ResolvePath(root + "/Книги/NightSky/../../Пустая"), JoinPath(root, "Пустая"));
    // Everything else is the files below.
    EXPECT_EQ(files.Stat(Images).Kind, TEntryKind::Folder);
    EXPECT_EQ(files.Stat(Images + "/rock-ridge.iso2").Kind, TEntryKind::None);

    // Nothing is written into an image.
    ExpectThrowContaining<EStreamError>([&] { WriteWholeFile(root + "/Книги/new.txt", "x"); },
                                        {root + "/Книги/new.txt", "только для чтения"});
    ExpectThrowContaining<EStreamError>([&] { files.Remove(readMe); }, {"только для чтения"});
    ExpectThrowContaining<EStreamError>([&] { files.Rename(readMe, root + "/x"); },
                                        {"только для чтения"});
    ExpectThrowContaining<EStreamError>([&] { CreateFolders(root + "/Новая/Папка"); },
                                        {"только для чтения"});
}

TEST(DiscImage, DiscArgumentsMountImagesAndLeaveFoldersAlone) {
    EXPECT_TRUE(IsDiscImageFile(RockRidge));
    EXPECT_FALSE(IsDiscImageFile(Images));
    EXPECT_EQ(DiscRootPath(Images), Images);
    const std::string root = DiscRootPath(Joliet);
    EXPECT_EQ(root, Joliet);
    EXPECT_TRUE(DiscImages().IsMounted(root));
    EXPECT_TRUE(FileExists(root + "/книги/nightsky/readme.txt"));
}

TEST(DiscImage, AFailingReadOfTheImageNamesIt) {
    const std::string bytes = SystemFileSystem().ReadWholeFile(RockRidge);
    // Where the big file's contents lie: find them in the image.
    const std::int64_t at = static_cast<std::int64_t>(bytes.find(BigFile()));
    ASSERT_GT(at, 0);
    TFaultFileSystem faults;
    faults.FailReadAt(RockRidge, at + 3000);
    const auto image = TDiscImage::Open(RockRidge, faults);
    const auto file = image->OpenForReading("Книги/NightSky/Deep/Deeper/Большой.Bin", "big");
    char buffer[100];
    EXPECT_EQ(file->ReadAt(0, buffer, sizeof buffer), sizeof buffer);
    ExpectThrowContaining<EStreamError>([&] { file->ReadAt(2990, buffer, sizeof buffer); },
                                        {RockRidge});
}

// Damaged images: a good image's bytes cut short or patched; each is refused with a message
// naming the image and what is wrong.
namespace {

const std::string& GoodBytes() {
    static const std::string bytes = SystemFileSystem().ReadWholeFile(RockRidge);
    return bytes;
}

// The offset of the primary tree's directory record named isoName ("DEEPER", "README.TXT;1").
std::size_t RecordOf(const std::string& bytes, const std::string& isoName) {
    for (std::size_t at = bytes.find(isoName); at != std::string::npos;
         at = bytes.find(isoName, at + 1)) {
        if (at < 33)
            continue;
        const std::size_t record = at - 33;
        const auto* r = reinterpret_cast<const unsigned char*>(bytes.data() + record);
        if (r[32] == isoName.size() && r[0] >= 33 + isoName.size())
            return record;
    }
    ADD_FAILURE() << "no record " << isoName;
    return 0;
}

void PutBoth32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<char>(value >> (8 * i));
        bytes[at + 7 - i] = static_cast<char>(value >> (8 * i));
    }
}

struct TDamage {
    const char* Name;
    std::string (*Make)();
    const char* Says;
};

const TDamage Damages[] = {
    {"TooShortForAnImage", [] { return GoodBytes().substr(0, 1000); }, "не образ диска"},
    {"CutInTheVolumeDescriptors", [] { return GoodBytes().substr(0, 16 * 2048 + 2100); },
     "описатели тома не завершены"},
    {"CutBeforeTheDirectories", [] { return GoodBytes().substr(0, 20 * 2048); },
     "лежит за концом образа"},
    {"CutInTheFiles", [] { return GoodBytes().substr(0, GoodBytes().find(BigFile()) + 100); },
     "лежит за концом образа"},
    {"NoImageAtAll", [] { return std::string(40000, 'x'); }, "не образ диска"},
    {"RecordPointsOutside",
     [] {
         std::string bytes = GoodBytes();
         PutBoth32(bytes, RecordOf(bytes, "README.TXT;1") + 2, 0x7fffff00);
         return bytes;
     },
     "«/Книги/NightSky/ReadMe.TXT» лежит за концом образа"},
    {"RecordLongerThanItsBlock",
     [] {
         std::string bytes = GoodBytes();
         bytes[RecordOf(bytes, "README.TXT;1")] = static_cast<char>(250);
         return bytes;
     },
     "неверной длины"},
    {"FolderContainsTheRoot",
     [] {
         std::string bytes = GoodBytes();
         const auto* pvd = reinterpret_cast<const unsigned char*>(bytes.data() + 16 * 2048);
         std::uint32_t rootBlock;
         std::memcpy(&rootBlock, pvd + 156 + 2, 4);
         PutBoth32(bytes, RecordOf(bytes, "DEEPER") + 2, rootBlock);
         return bytes;
     },
     "петля"},
    {"FolderContainsItself",
     [] {
         std::string bytes = GoodBytes();
         const std::size_t deep = RecordOf(bytes, "DEEP");
         const std::size_t deeper = RecordOf(bytes, "DEEPER");
         bytes.replace(deeper + 2, 8, bytes, deep + 2, 8);
         return bytes;
     },
     "петля"},
    {"NameWithASeparator",
     [] {
         std::string bytes = GoodBytes();
         // The Rock Ridge name entry: "NM", length, version, flags, then the name.
         for (std::size_t at = bytes.find("ReadMe.TXT"); at != std::string::npos;
              at = bytes.find("ReadMe.TXT", at + 1))
             if (at >= 5 && bytes.compare(at - 5, 2, "NM") == 0)
                 bytes[at + 6] = '/';
         return bytes;
     },
     "недопустимое имя"},
};

void PrintTo(const TDamage& damage, std::ostream* out) {
    *out << damage.Name;
}

class DamagedImages : public ::testing::TestWithParam<TDamage> {};

} // namespace

TEST_P(DamagedImages, AreRefusedWithAMessageNamingTheImage) {
    std::string bytes = GetParam().Make();
    ASSERT_FALSE(bytes.empty());
    ExpectThrowContaining<EStreamError>(
        [&] { TDiscImage::Open(MemoryFile("damaged.iso", std::move(bytes))); },
        {"«damaged.iso»", GetParam().Says});
}

INSTANTIATE_TEST_SUITE_P(Table, DamagedImages, ::testing::ValuesIn(Damages),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(DiscImage, FilesInsideAnImageGetOneCopyOnDiskForOtherLibraries) {
    const std::string real = JoinPath(Images, "relocated.iso"); // mounted by no test
    EXPECT_EQ(RealFilePath(real), real); // a real file is itself
    const std::string root = MountDiscImage(RockRidge);
    const std::string inside = root + "/Книги/NightSky/Deep/Deeper/Большой.Bin";
    const std::string copy = RealFilePath(inside);
    EXPECT_NE(copy, inside);
    EXPECT_EQ(FileNameOf(copy), "Большой.Bin"); // the name tells the framework the kind
    EXPECT_EQ(SystemFileSystem().ReadWholeFile(copy), BigFile());
    EXPECT_EQ(RealFilePath(inside), copy); // copied once
}
