#include "reader/core/ArticleStore.h"

#include "EditionFixture.h"
#include "reader/cipher/BlockCiphers.h"

using namespace quarto;
using namespace quarto::test;

namespace {

// An edition whose entries have the given levels and texts; "kind=N" and "bare" tokens may
// lead an entry's line, e.g. "1 kind=0 a.txt".
struct TEdition {
    TAppFolder App;
    std::string Folder;
    std::vector<TContentsRec> List;

    explicit TEdition(const std::vector<std::string>& outline, const TFiles& texts) {
        std::string contents;
        for (const std::string& line : outline)
            contents += line + " Title\n";
        TFiles files = {{"edition.ini", Descriptor("K")}, {"contents.txt", contents}};
        for (const auto& [name, text] : texts)
            files.push_back({"texts/" + name, text});
        Folder = App.AddEdition("K", files);
        EXPECT_TRUE(LoadContents(Folder, List));
    }
    std::string Read(int article) { return ReadArticle(Folder, List, article); }
};

} // namespace

TEST(ArticleStore, AnArticleTakesInItsDeeperEntries) {
    TEdition e({"1 a.htm", "2 b.htm", "2 c.htm", "1 d.htm"},
               {{"a.htm", "<P>A"}, {"b.htm", "<P>B"}, {"c.htm", "<P>C"}, {"d.htm", "<P>D"}});
    // The four bytes the writer appends to every text come back as spaces.
    EXPECT_EQ(e.Read(0), "<P>A    <P>B    <P>C    ");
    EXPECT_EQ(e.Read(1), "<P>B    ");
    EXPECT_EQ(e.Read(3), "<P>D    ");
    EXPECT_EQ(CollectArticleParts(e.List, 0).size(), 3u);
    EXPECT_THROW(CollectArticleParts(e.List, 4), std::out_of_range);
}

TEST(ArticleStore, TheLastPartDecidesTheWrapping) {
    struct Case {
        std::vector<std::string> outline;
        const char* body;
    } cases[] = {
        {{"1 a.htm", "2 b.htm", "2 c.txt"}, "<PRE>a    b    c    </PRE>"},
        {{"1 a.txt", "2 b.txt", "2 c.htm"}, "a    b    c    "},
        {{"0 a.txt"}, "a    "},
        {{"1 a.txt"}, "<PRE>a    </PRE>"},
        {{"1 kind=7 a.txt"}, ""},
        {{"1 a.htm", "2 kind=-1 b.htm"}, ""},
    };
    for (const Case& c : cases) {
        TEdition e(c.outline, {{"a.htm", "a"},
                               {"b.htm", "b"},
                               {"c.htm", "c"},
                               {"a.txt", "a"},
                               {"b.txt", "b"},
                               {"c.txt", "c"}});
        EXPECT_EQ(e.Read(0), c.body) << c.outline.back();
    }
}

TEST(ArticleStore, BlankingReachesBackIntoTheTextBefore) {
    TEdition e({"1 bare a.htm", "2 bare b.htm", "1 bare c.htm"},
               {{"a.htm", "Hello world"}, {"b.htm", "xy"}, {"c.htm", "ab"}});
    // "Hello world" loses "orld"; then "xy" and the three spaces before it are blanked.
    EXPECT_EQ(e.Read(0), "Hello w      ");
    EXPECT_EQ(e.Read(2), "ab"); // fewer than four bytes in all: nothing is blanked
}

TEST(ArticleStore, MissingStoreCannotBeOpened) {
    TEdition e({"1 a.htm"}, {{"a.htm", "a"}});
    FileSystem().Remove(TextStorePath(e.Folder));
    EXPECT_THROW(e.Read(0), ETextStoreOpenError);
}

TEST(ArticleStore, DamagedRecordsAreNamedByFileAndOffset) {
    const std::string good = EncodeTextRecord("good text");
    const auto withLength = [&](std::int32_t n) {
        std::string r = good;
        PutLE32(r.data(), static_cast<std::uint32_t>(n));
        return r;
    };
    // A final block whose deciphered count byte is outside 1..8.
    const auto badCount = [](unsigned char count) {
        const TBlowfishCipher cipher("Lanthorne", 9);
        unsigned char block[8] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', count};
        cipher.EncipherBlock(block);
        std::string r;
        AppendLE32(r, 8);
        r.append(reinterpret_cast<const char*>(block), 8);
        return r;
    };
    struct Case {
        std::string store;
        std::int32_t offset;
        const char* what;
    } cases[] = {
        {good, static_cast<std::int32_t>(good.size()), "за пределами файла"},
        {good, -4, "за пределами файла"},
        {good.substr(0, 2), 0, "за пределами файла"},
        {withLength(0), 0, "длина записи 0 не больше нуля"},
        {withLength(-16), 0, "длина записи -16 не больше нуля"},
        {withLength(64), 0, "выходит за конец"},
        {withLength(0x7FFFFFF8), 0, "выходит за конец"},
        {good.substr(0, good.size() - 4), 0, "выходит за конец"},
        {withLength(12) + std::string(12, 'x'), 0, "Ciphertext length is not a multiple of 8."},
        {badCount(0), 0, "pad count"},
        {badCount(9), 0, "pad count"},
        {badCount(255), 0, "pad count"},
    };
    TTempFolder folder;
    for (const Case& c : cases) {
        WriteWholeFile((folder.Path() / "cData.dat").string(), c.store);
        TTextStore store(folder.Path().string());
        try {
            store.ReadRecord(c.offset);
            ADD_FAILURE() << "no error for: " << c.what;
        } catch (const EFormatError& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find("cData.dat"), std::string::npos) << message;
            EXPECT_NE(message.find("смещение " + std::to_string(c.offset)), std::string::npos)
                << message;
            EXPECT_NE(message.find(c.what), std::string::npos) << message;
        }
    }
}

TEST(ArticleStore, StoreNameIsMatchedIgnoringCase) {
    TTempFolder folder;
    WriteWholeFile((folder.Path() / "CDATA.DAT").string(), EncodeTextRecord("text    "));
    TTextStore store(folder.Path().string());
    EXPECT_EQ(store.ReadRecord(0), "text    ");
}
