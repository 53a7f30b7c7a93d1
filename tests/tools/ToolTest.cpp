// quarto-tool driven as a user drives it: a process with arguments, its output and status.
#include "EditionFixture.h"
#include "Environment.h"
#include "ToolRun.h"
#include "common/Cp1251.h"
#include "common/JpegCodec.h"
#include "platform/DiscDrives.h"
#include "reader/core/PageComposer.h"
#include "reader/media/Illustrations.h"
#include "tools/DiscWriter.h"
#include "tools/MusicWriter.h"
#include "tools/PictureWriter.h"


using namespace quarto;
using namespace quarto::test;

namespace {

class Tool : public ::testing::Test {
protected:
    TResult Run(const std::vector<std::string>& args, bool withApp = true) {
        std::vector<std::string> words;
        if (withApp)
            words = {"--app", App.Path().string()};
        words.insert(words.end(), args.begin(), args.end());
        return RunProgram(QUARTO_TOOL, words, Scratch.Path());
    }

    // Two editions: "Alpha" (plain, Title2 missing) and "Beta" (Music, BR).
    void AddEditions() {
        AlphaFolder = App.AddEdition(
            "Alpha", {{"edition.ini", "[Main]\nTitle=Первая\nRegKey=Alpha\n"},
                      {"contents.txt", "0 - Раздел\n1 a.htm Статья об ёлках\n2 b.txt Ещё\n"
                                       "1 hidden.htm Тайна !@#$%\n"},
                      {"texts/a.htm", "<P>Ёлки и сосны<BR>в лесу"},
                      {"texts/b.txt", "plain"},
                      {"texts/hidden.htm", "secret"}});
        App.AddEdition("Beta", {{"edition.ini", Descriptor("Beta", "Music=1\nBR=1\n")},
                                {"contents.txt", "1 a.htm Бета\n"},
                                {"texts/a.htm", "line<br>break"}});
    }

    TAppFolder App;
    TTempFolder Scratch;
    std::string AlphaFolder;
};

} // namespace

TEST_F(Tool, ListTocAndTree) {
    AddEditions();
    TResult r = Run({"list"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, "0\tAlpha\tПервая - !!!Не указано!!!\tAlpha\t-\n"
                     "1\tBeta\tКнига - Вторая часть\tBeta\tMusic,BR\n");

    r = Run({"toc"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    const std::vector<std::string> lines = {"0\t0\t1\t0\tРаздел", "1\t1\t1\t", "2\t2\t0\t",
                                            "3\t1\t1\t"};
    std::size_t start = 0;
    for (const std::string& prefix : lines) {
        EXPECT_EQ(r.Out.compare(start, prefix.size(), prefix), 0) << r.Out;
        start = r.Out.find('\n', start) + 1;
    }
    EXPECT_NE(r.Out.find("\tСтатья об ёлках\n"), std::string::npos);

    r = Run({"--book", "Alpha", "tree"});
    EXPECT_EQ(r.Out, "0 РАЗДЕЛ\n  1 СТАТЬЯ ОБ ЁЛКАХ\n    2 ЕЩЁ\n");
    r = Run({"tree", "--book", "Beta"});
    EXPECT_EQ(r.Out, "0 БЕТА\n");
}

TEST_F(Tool, PageIsTheComposedAndRewrittenPage) {
    AddEditions();
    const std::string app = App.Folder();
    TResult r = Run({"page", "1"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    // Entry 1 with its sub-entry 2; the last part is plain text, so all is preformatted.
    EXPECT_EQ(r.Out, ComposeArticlePage(
                         app, AlphaFolder, false,
                         Utf8ToCp1251("<PRE><P>Ёлки и сосны<BR>в лесу    plain    </PRE>")));

    r = Run({"page", "--mark", "ЁЛКИ лес", "1"});
    EXPECT_NE(Cp1251ToUtf8(r.Out).find("<FONT color=\"RED\"><U>Ёлки</U></FONT> и сосны<BR>в "
                                       "<FONT color=\"RED\"><U>лес</U></FONT>у"),
              std::string::npos);

    r = Run({"--book", "Beta", "page", "0"});
    EXPECT_NE(r.Out.find("line<ZZ>break"), std::string::npos) << r.Out;
}

TEST_F(Tool, ErrorsGoToStandardErrorWithStatusTwo) {
    AddEditions();
    struct Case {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"page", "9"}, "Article 9 is not in the contents"},
        {{"page", "x"}, "is not an article number"},
        {{"page"}, "page needs an article number"},
        {{"--book", "alpha", "toc"}, "No edition has the key \"alpha\""},
        {{"frobnicate"}, "unknown command"},
        {{}, "no command given"},
        {{"make-edition", "only-one"}, "make-edition needs SRC and OUT"},
        {{"make-edition", "src", "out", "--skin"}, "--skin needs a folder"},
    };
    for (const Case& c : cases) {
        const TResult r = Run(c.args);
        EXPECT_EQ(r.Status, 2) << c.message;
        EXPECT_EQ(r.Out, "") << c.message;
        EXPECT_NE(r.Err.find(c.message), std::string::npos) << r.Err;
    }
    const TResult none = Run({"--app", (Scratch.Path() / "empty").string(), "list"}, false);
    EXPECT_EQ(none.Status, 2);
    EXPECT_NE(none.Err.find("No editions found"), std::string::npos) << none.Err;
}

TEST_F(Tool, MakeEditionCopiesTheSkin) {
    const TPath src = Scratch.Path() / "src";
    const TPath painted = Scratch.Path() / "painted";
    // The source's own skin, its names in any letter case.
    WriteFiles(src, {{"edition.ini", Descriptor("Sky")},
                     {"contents.txt", "1 a.htm Звёзды\n"},
                     {"texts/a.htm", "text"},
                     {"painted-skin.txt", "demo\n"},
                     {"skins/1/MAIN.BMP", "own face"},
                     {"skins/1/Mask.bmp", "own mask"},
                     {"skins/1/Data.INF", "[Main]\r\nX1=1\r\n"}});
    WriteFiles(painted, {{"main.bmp", "painted face"},
                         {"mask.bmp", "painted mask"},
                         {"data.inf", "[Main]\r\nX1=2\r\n"}});
    const struct Case {
        std::vector<std::string> options;
        std::vector<std::string> files; // main.bmp, mask.bmp, data.inf
    } cases[] = {
        {{}, {"own face", "own mask", "[Main]\r\nX1=1\r\n"}},
        {{"--skin", painted.string()}, {"painted face", "painted mask", "[Main]\r\nX1=2\r\n"}},
    };
    int n = 0;
    for (const Case& c : cases) {
        const TPath out = Scratch.Path() / ("edition" + std::to_string(++n));
        std::vector<std::string> args = {"make-edition", src.string(), out.string()};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const TResult r = Run(args);
        ASSERT_EQ(r.Status, 0) << r.Err;
        for (std::size_t i = 0; i < c.files.size(); ++i)
            EXPECT_EQ(ReadWholeFile((out / "Skins" / "1" / SkinFileNames[i]).string()), c.files[i]);
        EXPECT_FALSE(Exists(out / "painted-skin.txt"));
    }

    // A skin without its mask is refused before anything is written.
    FileSystem().Remove(painted / "mask.bmp");
    const TPath out = Scratch.Path() / "refused";
    const TResult r = Run({"make-edition", src.string(), out.string(), "--skin", painted.string()});
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Err.find("mask.bmp: the skin file is missing"), std::string::npos) << r.Err;
    EXPECT_FALSE(Exists(out));
}

TEST_F(Tool, DamagedStoreStopsPageWithThePlace) {
    AddEditions();
    std::string store = ReadWholeFile(AlphaFolder + "/cData.dat");
    store.resize(store.size() - 5);
    WriteWholeFile(AlphaFolder + "/cData.dat", store);
    const TResult r = Run({"page", "3"});
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Err.find("cData.dat», смещение "), std::string::npos) << r.Err;
    EXPECT_NE(r.Err.find("выходит за конец файла"), std::string::npos) << r.Err;
}

TEST_F(Tool, CheckListsEveryProblem) {
    AddEditions();
    TResult r = Run({"check"});
    EXPECT_EQ(r.Status, 1) << r.Out; // Alpha has no Title2
    EXPECT_EQ(r.Out, "setup.inf: [Main] Title2 is missing.\n");
    r = Run({"--book", "Beta", "check"});
    EXPECT_EQ(r.Status, 0) << r.Out;
    EXPECT_EQ(r.Out, "OK: Beta has no problems.\n");

    const std::string beta = (App.Path() / "Books" / "Beta").string();
    std::string contents = ReadWholeFile(beta + "/cContents.dat");
    contents[12] = 9;    // kind
    contents[272] = 100; // data offset outside the store
    contents += std::string(10, '\0');
    WriteWholeFile(beta + "/cContents.dat", contents);
    WriteWholeFile(beta + "/setup.inf",
                   "[Main]\nTitle=T\nTitle2=U\nRegKey=Other\n[Options]\nBR=yes\n");
    r = Run({"--book", "Other", "check"});
    EXPECT_EQ(r.Status, 1);
    for (const char* problem :
         {"RegKey \"Other\" differs from the folder name \"Beta\"", "[Options] BR = \"yes\"",
          "10 bytes at offset 276 do not make a whole record", "entry 0: kind 9",
          "entry 0: ", "смещение 100: запись лежит за пределами файла"})
        EXPECT_NE(r.Out.find(problem), std::string::npos) << problem << "\n" << r.Out;
}

TEST_F(Tool, SearchPrintsHitsAndCheckCoversTheIndex) {
    AddEditions();
    TResult r = Run({"search", "ЁЛКИ"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, "1\tСтатья об ёлках\n");
    r = Run({"search", "--no-adjacent", "Ёлки", "лесу"});
    EXPECT_EQ(r.Out, "1\tСтатья об ёлках\n");
    r = Run({"search", "ёлки лесу"}); // not side by side
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Out, "");
    r = Run({"search", "--no-adjacent", "secret ИЛИ plain"});
    EXPECT_EQ(r.Out, "2\tЕщё\n3\tТайна !@#$%\n");

    // A damaged index: check names each problem, search stops with the file's name.
    std::string starts = ReadWholeFile(AlphaFolder + "/Pos.rec");
    starts.resize(starts.size() - 4);
    WriteWholeFile(AlphaFolder + "/Pos.rec", starts);
    std::string positions = ReadWholeFile(AlphaFolder + "/InnerBase.dat");
    positions[8] = 0x7F; // article 1's record offset
    WriteWholeFile(AlphaFolder + "/InnerBase.dat", positions);
    WriteWholeFile(AlphaFolder + "/Voc.txt", ReadWholeFile(AlphaFolder + "/Voc.txt") + "Big\r\n");
    r = Run({"check"});
    EXPECT_EQ(r.Status, 1);
    for (const char* problem :
         {"Pos.rec", "InnerBase.dat, article 1", "\"Big\" has capital letters"})
        EXPECT_NE(r.Out.find(problem), std::string::npos) << problem << "\n" << r.Out;
    r = Run({"search", "plain"});
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Err.find("Pos.rec"), std::string::npos) << r.Err;
}

TEST_F(Tool, FindOnDiscLooksBesideTheReaderThenInTheDiscFolders) {
    const TPath one = Scratch.Path() / "disc one";
    const TPath two = Scratch.Path() / "two";
    CreateFolders(one);
    WriteFiles(two,
               {{"Books/Sky/PICTURES/Pic01.jpg", "on the disc"}, {"AudioData/All.dat", "disc"}});
    WriteFiles(App.Path(), {{"AudioData/ALL.DAT", "beside"}});
    // Empty entries are left out; the folders are tried in order.
    const std::string s(1, DiscFoldersSeparator);
    const TEnvironment discs("QUARTO_DISCS", s + one.string() + s + s + two.string() + s);

    TResult r = Run({"find-on-disc", "Books\\Sky\\Pictures", "pic01.JPG"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(PathKey(r.Out), PathKey((two / "Books" / "Sky" / "PICTURES" / "Pic01.jpg").string() + "\n"));
    r = Run({"find-on-disc", "AudioData", "All.dat"});
    EXPECT_EQ(PathKey(r.Out), PathKey((App.Path() / "AudioData" / "ALL.DAT").string() + "\n"));

    // Missing, or reached only through "..": nothing, status 1.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"find-on-disc", "Books\\Sky\\Pictures", "pic02.jpg"},
          {"find-on-disc", "Books\\..\\..\\two\\Books\\Sky\\Pictures", "Pic01.jpg"},
          {"find-on-disc", "Books\\Sky", "Pictures\\Pic01.jpg"}}) {
        r = Run(args);
        EXPECT_EQ(r.Status, 1) << args[1];
        EXPECT_EQ(r.Out, "") << args[1];
        EXPECT_EQ(r.Err, "") << args[1];
    }
    r = Run({"find-on-disc", "AudioData"});
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Err.find("find-on-disc needs FOLDER and NAME"), std::string::npos) << r.Err;
}

namespace {

// A picture of one colour.
TDibPicture Plain(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    TDibPicture picture = BlankPicture(width, height);
    for (std::size_t i = 0; i < picture.Pixels.size(); i += 3)
        picture.Pixels[i] = r, picture.Pixels[i + 1] = g, picture.Pixels[i + 2] = b;
    return picture;
}

const char* const PictureList = "# Иллюстрации\n"
                                "= Мосты\n"
                                "= Реки\n"
                                "\n"
                                "1 Bridge.JPG Мост@Вид с реки@Зима\n"
                                "2\tволга.png\tВолга\n"
                                "x Bridge.JPG Без заголовка\n";

} // namespace

TEST_F(Tool, MakeEditionWritesThePicturesAndThePictureCommandsReadThem) {
    const TPath src = Scratch.Path() / "src";
    const std::string bridge = EncodeJpeg(Plain(400, 200, 200, 100, 50));
    WriteFiles(src, {{"edition.ini", Descriptor("Pics", "Pictures=1\n")},
                     {"contents.txt", "1 a.htm Мосты\n"},
                     {"texts/a.htm", "text"},
                     {"pictures.txt", PictureList},
                     {"pictures/Bridge.JPG", bridge},
                     {"pictures/волга.png", EncodePng(Plain(60, 90, 20, 60, 220))}});
    const TPath out = App.Path() / "Books" / "Pics";
    TResult r = Run({"make-edition", src.string(), out.string()});
    ASSERT_EQ(r.Status, 0) << r.Err;
    // The JPEG is copied byte for byte, the PNG stored as JPEG under its stem.
    EXPECT_EQ(ReadWholeFile(out / "Pictures" / "Bridge.JPG"), bridge);
    const TDibPicture volga = DecodeJpeg(ReadWholeFile(out / "Pictures" / "волга.jpg"));
    EXPECT_EQ(volga.Width, 60);
    EXPECT_EQ(volga.Height, 90);
    EXPECT_NE(ReadWholeFile(out / "setup.inf").find("Pictures=1"), std::string::npos);

    r = Run({"pictures"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, "0\t1\tМост\tВид с реки@Зима\tbridge.jpg\n"
                     "1\t2\tВолга\t\tволга.jpg\n"
                     "2\t0\tБез заголовка\t\tbridge.jpg\n");
    EXPECT_NE(r.Err.find("«x»"), std::string::npos) << r.Err;
    r = Run({"cells"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    // The third cell's file is the first entry's: the mouse-over finds entry 0.
    EXPECT_EQ(r.Out, "0\t0\tBridge.JPG\t0\n1\t1\tволга.jpg\t1\n2\t2\tBridge.JPG\t0\n");

    // Thumbnails fit the cell, never enlarged; check finds only the bad heading number.
    TThumbnailData thumbnails;
    thumbnails.Reload(out);
    const TDibPicture first = DecodeJpeg(thumbnails.Bytes(0));
    EXPECT_EQ(first.Width, 150);
    EXPECT_EQ(first.Height, 75);
    EXPECT_EQ(DecodeJpeg(thumbnails.Bytes(1)).Height, 90);
    r = Run({"check"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Out.find("номер заголовка «x»"), std::string::npos) << r.Out;
    EXPECT_EQ(std::count(r.Out.begin(), r.Out.end(), '\n'), 1) << r.Out;

    // From another pictures folder, the full pictures on a disc folder.
    const TPath moved = Scratch.Path() / "generated";
    CopyTree(src / "pictures", moved);
    FileSystem().RemoveTree(src / "pictures");
    const TPath disc = Scratch.Path() / "disc";
    const TPath out2 = Scratch.Path() / "Pics2";
    r = Run({"make-edition", src.string(), out2.string(), "--picture-source", moved.string(),
             "--pictures-disc", disc.string()});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(ReadWholeFile(disc / "Books" / "Pics" / "Pictures" / "Bridge.JPG"), bridge);
    EXPECT_FALSE(Exists(out2 / "Pictures"));
    EXPECT_EQ(ReadWholeFile(out2 / "PicData" / "Data2.dat"),
              ReadWholeFile(out / "PicData" / "Data2.dat"));

    // A name that leaves the pictures folder, a missing picture, a damaged one.
    const struct {
        std::string List;
        std::string Message;
    } faults[] = {{"1 ../edition.ini T\n", "is not a plain file name"},
                  {"1 none.jpg T\n", "none.jpg does not exist"},
                  {"1 bad.png T\n", "Рисунок PNG повреждён"},
                  {"1 a.bmp T\n", "JPEG (.jpg, .jpeg) or PNG"}};
    WriteFiles(moved, {{"bad.png", "\x89PNG\r\n\x1a\nbroken"}, {"a.bmp", "BM"}});
    for (const auto& f : faults) {
        WriteFiles(src, {{"pictures.txt", "= H\n" + f.List}});
        r = Run({"make-edition", src.string(), (Scratch.Path() / "refused").string(),
                 "--picture-source", moved.string()});
        EXPECT_EQ(r.Status, 2) << f.List;
        EXPECT_NE(r.Err.find(f.Message), std::string::npos) << r.Err;
        EXPECT_NE(r.Err.find("pictures.txt, line 2"), std::string::npos) << r.Err;
        EXPECT_FALSE(Exists(Scratch.Path() / "refused"));
    }
}

TEST_F(Tool, CheckAndCellsOnADamagedCatalogue) {
    App.AddEdition("Pics", {{"edition.ini", Descriptor("Pics", "Pictures=1\n")},
                            {"contents.txt", "1 a.htm A\n"},
                            {"texts/a.htm", "text"}});
    const std::string thumbnail = EncodeJpeg(Plain(200, 20, 1, 2, 3));
    TPictureSet set;
    set.Headings = {"H"};
    set.Entries = {{"1", "A", "a.jpg"}, {"9", "B", "b.jpg"}};
    set.FileLines = {"a.jpg", "b.bmp"};
    set.CellLines = {0, 5, 1};
    set.Thumbnails = {thumbnail, "not a jpeg", thumbnail, thumbnail};
    set.OffsetOverrides = {{3, 1000000}};
    WritePictureSet(set, App.Path() / "Books" / "Pics");
    TResult r = Run({"cells"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, "0\t0\ta.jpg\t0\n1\t5\t-\t-\n2\t1\tb.bmp\t-\n3\t-\t-\t-\n");
    r = Run({"check"});
    EXPECT_EQ(r.Status, 1);
    for (const char* problem :
         {"номер заголовка «9»",
          "files.txt, line 1: \"b.bmp\" differs from the file line \"b.jpg\"",
          "PosID3.dat: 3 cells for 4 thumbnails", "PosID3.dat, cell 1: line 5 lies outside",
          "PosID3.dat, cell 2: no entry names line 1",
          "Data2.dat, cell 0: the thumbnail is 200 x 20",
          "Data2.dat, cell 1: Рисунок JPEG повреждён", "Data2.dat, cell 3: смещение 1000000"})
        EXPECT_NE(r.Out.find(problem), std::string::npos) << problem << "\n" << r.Out;

    // The disc carries the full pictures with the edition.
    const TPath book = App.Path() / "Books" / "Pics";
    WriteFiles(book, {{"Pictures/a.jpg", thumbnail}});
    WriteFiles(App.Path(), {{Layout::ReaderProgram(), "reader"}, {"setup-program", "setup"}});
    TDiscSource disc{App.Folder(), (App.Path() / "setup-program").string(), {book.string()}, 1};
    MakeDisc(disc, Scratch.Path() / "disc");
    EXPECT_EQ(ReadWholeFile(Scratch.Path() / "disc" / "Books" / "Pics" / "Pictures" / "a.jpg"),
              thumbnail);
}

namespace {

std::string W(const std::string& utf8) {
    return Utf8ToCp1251(utf8);
}


const char* const MusicOutline = "# Музыка серии\n"
                                 "= 1 Вальсы\n"
                                 "Walz.MP3 Вальс цветов\n"
                                 "= 2\tМарши\n"
                                 "марш.mp3\t  Марш  \n"
                                 "\n"
                                 "= 1 Снова вальсы\n"
                                 "Walz.MP3 Ещё раз\n";

} // namespace

TEST_F(Tool, MakeMusicWritesTheListAndTheTracksAndMusicFindsThemOnADisc) {
    const TPath src = Scratch.Path() / "music";
    WriteFiles(src, {{"music.txt", MusicOutline}, {"Walz.MP3", "walz"}, {"марш.mp3", "march"}});
    const TPath disc = Scratch.Path() / "disc";
    TResult r = Run({"make-music", src.string(), disc.string()});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(EntriesBelow(disc),
              (std::vector<std::string>{"AudioData/", "AudioData/All.dat", "mp3/", "mp3/Walz.mp3",
                                        "mp3/марш.mp3"}));
    EXPECT_EQ(ReadWholeFile(disc / "mp3" / "Walz.mp3"), "walz");
    EXPECT_EQ(FileSystem().Stat(disc / "AudioData" / "All.dat").Size, 3 * 1304);

    // Not beside the reader, not on a disc: nothing, status 1.
    r = Run({"music"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Out, "");
    EXPECT_NE(r.Err.find("AudioData\\All.dat"), std::string::npos) << r.Err;

    const TEnvironment discs("QUARTO_DISCS", disc.string());
    r = Run({"music"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, "1\tВальсы\n"
                     "  0\tВальс цветов\tWalz.mp3\n"
                     "2\tМарши\n"
                     "  1\tМарш\tмарш.mp3\n"
                     "1\tСнова вальсы\n"
                     "  2\tЕщё раз\tWalz.mp3\n");

    // Faulty outlines: the line is named and nothing is written.
    const struct {
        std::string Outline;
        std::string Message;
    } faults[] = {{"Walz.MP3 Before\n", "line 1: a track before the first album line"},
                  {"= 256 Big\n", "line 1: the album number \"256\""},
                  {"= 1 A\nnone.mp3 T\n", "line 2: " + (src / "none.mp3").string()},
                  {"= 1 A\n../x.mp3 T\n", "line 2: \"../x.mp3\" is not a plain file name"},
                  {"= 1 A\nmusic.txt T\n", "line 2: \"music.txt\": a track must be an .mp3"},
                  {"= 1 " + std::string(256, 'a') + "\n", "line 1: the album title is longer"}};
    for (const auto& f : faults) {
        WriteFiles(src, {{"music.txt", f.Outline}});
        r = Run({"make-music", src.string(), (Scratch.Path() / "refused").string()});
        EXPECT_EQ(r.Status, 2) << f.Outline;
        EXPECT_NE(r.Err.find("music.txt, " + f.Message), std::string::npos) << r.Err;
        EXPECT_FALSE(Exists(Scratch.Path() / "refused"));
    }

    // The disc carries the reader folder's music.
    CopyTree(disc / "AudioData", App.Path() / "Audiodata");
    CopyTree(disc / "mp3", App.Path() / "mp3");
    WriteFiles(App.Path(), {{Layout::ReaderProgram(), "reader"}, {"setup-program", "setup"}});
    MakeDisc({App.Folder(), (App.Path() / "setup-program").string(), {}, 1},
             Scratch.Path() / "disc2");
    EXPECT_EQ(ReadWholeFile(Scratch.Path() / "disc2" / "AudioData" / "All.dat"),
              ReadWholeFile(disc / "AudioData" / "All.dat"));
    EXPECT_EQ(ReadWholeFile(Scratch.Path() / "disc2" / "mp3" / "марш.mp3"), "march");
}

TEST_F(Tool, MakeEditionWritesTheSupplementsAndCheckFindsWhatIsMissing) {
    const TPath src = Scratch.Path() / "src";
    const TPath videos = Scratch.Path() / "videos";
    const TPath clips = Scratch.Path() / "clips";
    WriteFiles(src, {{"edition.ini", Descriptor("Media", "Audio=1\nMusic=1\nVideo=1\n")},
                     {"contents.txt", "1 a.htm Статья\n"},
                     {"texts/a.htm", "<A HREF=\"comet.avi\">комета</A>"},
                     {"audio.txt", "# Аудио\nhymn.wav Гимн\nречь.mp3   Речь  \n"},
                     {"audio/hymn.wav", "RIFF"},
                     {"audio/речь.mp3", "ID3"},
                     {"video.txt", "stars.avi Звёзды\n"}});
    WriteFiles(videos, {{"stars.avi", "AVI stars"}});
    WriteFiles(clips, {{"comet.avi", "AVI comet"}});
    const TPath out = App.Path() / "Books" / "Media";
    TResult r = Run({"make-edition", src.string(), out.string(), "--video-source", videos.string(),
                     "--clips-source", clips.string()});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(ReadWholeFile(out / "Audio" / "files.txt"),
              W("Гимн\r\nhymn.wav\r\nРечь\r\nречь.mp3\r\n"));
    EXPECT_EQ(ReadWholeFile(out / "Audio" / "речь.mp3"), "ID3");
    EXPECT_EQ(ReadWholeFile(out / "Video" / "stars.avi"), "AVI stars");
    EXPECT_EQ(ReadWholeFile(out / "video_1" / "comet.avi"), "AVI comet");

    r = Run({"audio"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, "0\tГимн\thymn.wav\n1\tРечь\tречь.mp3\n");
    r = Run({"video"});
    EXPECT_EQ(r.Out, "0\tЗвёзды\tstars.avi\n");
    r = Run({"check"});
    EXPECT_EQ(r.Status, 0) << r.Out;

    // A missing file, a name leading out of the folder, a title without its file line, a
    // missing video list; a music track on no disc.
    FileSystem().Remove(out / "Audio" / "hymn.wav");
    WriteFiles(out, {{"Audio/files.txt", W("Гимн\r\nhymn.wav\r\nТайна\r\n..\\setup.inf\r\n"
                                           "Без файла\r\n")}});
    FileSystem().Remove(out / "Video" / "files.txt");
    TMusicSet music;
    music.Records.resize(2);
    music.Records[0].TrackFile = "here";
    music.Records[1].TrackFile = "gone";
    WriteMusicList(music, App.Path());
    WriteFiles(App.Path(), {{"mp3/here.mp3", "ID3"}});
    r = Run({"audio"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, "0\tГимн\thymn.wav\n1\tТайна\t..\\setup.inf\n");
    EXPECT_NE(r.Err.find("строка 5: у названия «Без файла» нет строки с именем файла"),
              std::string::npos)
        << r.Err;
    r = Run({"video"});
    EXPECT_EQ(r.Out, "");
    EXPECT_NE(r.Err.find("страница «Видеоприложения» пуста"), std::string::npos) << r.Err;
    r = Run({"check"});
    EXPECT_EQ(r.Status, 1);
    for (const char* problem :
         {"Audio/files.txt, item 0: \"hymn.wav\" is missing from the folder Audio",
          "Audio/files.txt, item 1: \"..\\setup.inf\" leads outside the folder Audio",
          "нет строки с именем файла", "Нет списка", "record 1: the track mp3/gone.mp3 is neither"})
        EXPECT_NE(r.Out.find(problem), std::string::npos) << problem << "\n" << r.Out;
    EXPECT_EQ(std::count(r.Out.begin(), r.Out.end(), '\n'), 5) << r.Out;

    // A missing file in the source is named with its line.
    WriteFiles(src, {{"audio.txt", "hymn.wav Гимн\nnone.wav Нет\n"}});
    r = Run({"make-edition", src.string(), (Scratch.Path() / "refused").string(), "--video-source",
             videos.string()});
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Err.find("audio.txt, line 2: "), std::string::npos) << r.Err;
    EXPECT_NE(r.Err.find("none.wav does not exist"), std::string::npos) << r.Err;
    EXPECT_FALSE(Exists(Scratch.Path() / "refused"));
}

TEST_F(Tool, DiscImagesAreReadInPlaceAndDamagedOnesAreNamed) {
#ifdef _WIN32
    GTEST_SKIP() << "the image is made by xorriso, a program of the build machine";
#endif
    AddEditions();
    const std::string image = (Scratch.Path() / "Диск.iso").string();
    TTempFolder xorrisoScratch;
    ASSERT_EQ(RunProgram(QUARTO_XORRISO,
                         {"-as", "mkisofs", "-quiet", "-input-charset", "utf-8", "-J", "-R", "-o",
                          image, App.Path().string()},
                         xorrisoScratch.Path())
                  .Status,
              0);
    const TResult list = Run({"list"});
    const TResult fromImage = Run({"--disc", image, "list"}, false);
    EXPECT_EQ(fromImage.Status, 0) << fromImage.Err;
    EXPECT_EQ(fromImage.Out, list.Out);
    EXPECT_EQ(Run({"--disc", image, "--book", "Beta", "toc"}).Out,
              Run({"--book", "Beta", "toc"}).Out);
    EXPECT_EQ(Run({"--disc", image, "search", "ёлки"}).Out, Run({"search", "ёлки"}).Out);

    WriteWholeFile(image, ReadWholeFile(image).substr(0, 18 * 2048));
    const TResult damaged = Run({"--disc", image, "list"});
    EXPECT_EQ(damaged.Status, 2);
    EXPECT_NE(damaged.Err.find("Образ диска «" + image + "» повреждён"), std::string::npos)
        << damaged.Err;
}
