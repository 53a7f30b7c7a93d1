#include "EditionFixture.h"

#include "reader/core/PageLinks.h"

#include <gtest/gtest.h>

using namespace quarto;
using namespace quarto::test;

namespace {

TEST(PageLinks, TargetsAreClassifiedInTheReadersOrder) {
    Tbook book;
    book.BookFolder = NativePath("/books/Sky");
    book.RegKey = "Sky";
    const std::string sky = NativePath("/books/Sky/");
    const std::string base = NativePath("/books/Sky/Base/");
    const struct Case {
        const char* target;
        TLinkKind kind;
        std::string path;
        const char* name;
    } cases[] = {
        {"notes.htm#note5", TLinkKind::ReferencePage, base + "notes.htm#note5", ""},
        {"my%20notes%20two.htm", TLinkKind::ReferencePage, base + "my notes two.htm", ""},
        {"../other/page.html", TLinkKind::ReferencePage, base + "../other/page.html", ""},
        {"PAGE.HTM", TLinkKind::Other, "", ""}, // the letters count in small case only
        // "htm" anywhere comes first, also in an address.
        {"http://example.org/a.html", TLinkKind::ReferencePage, base + "http://example.org/a.html",
         ""},
        {"../Pictures/p1.jpg", TLinkKind::Picture, sky + "Pictures/p1.jpg", "p1.jpg"},
        {"Pictures/sub/p2.JPG", TLinkKind::Picture, sky + "Pictures/sub/p2.JPG", "p2.JPG"},
        {"pictures/p1.jpg", TLinkKind::Picture, base + "pictures/p1.jpg", "p1.jpg"},
        {"P1.JPG", TLinkKind::Picture, base + "P1.JPG", ""},
        {"video_1/clip.avi", TLinkKind::Video, NativePath("/books/Sky/video_1/clip.avi"),
         "clip.avi"},
        {"clip.AVI", TLinkKind::Video, NativePath("/books/Sky/video_1/"), ""},
        {"#top", TLinkKind::PageAnchor, "", ""},
        {"HTTP://example.org/", TLinkKind::DesktopAddress, "", ""},
        {"mailto:someone@example.org", TLinkKind::DesktopAddress, "", ""},
        // Every picture kind the viewer shows, every sound the player bar plays.
        {"photo.PNG", TLinkKind::Picture, base + "photo.PNG", ""},
        {"../Pictures/map.gif", TLinkKind::Picture, sky + "Pictures/map.gif", "map.gif"},
        {"scan.bmp", TLinkKind::Picture, base + "scan.bmp", ""},
        {"a/b.JPEG", TLinkKind::Picture, base + "a/b.JPEG", "b.JPEG"},
        {"sounds/Hymn.MP3", TLinkKind::Sound, base + "sounds/Hymn.MP3", ""},
        {"tune.mid", TLinkKind::Sound, base + "tune.mid", ""},
        {"tune.MIDI", TLinkKind::Sound, base + "tune.MIDI", ""},
        {"talk.wav", TLinkKind::Sound, base + "talk.wav", ""},
        // The other files by the name before "#" or "?", escapes decoded, "file:" by its path.
        {"readme.txt", TLinkKind::Text, base + "readme.txt", ""},
        {"../docs/Read%20Me%2e.TXT#end", TLinkKind::Text, base + "../docs/Read Me..TXT", ""},
        {"notes.txt?v=2", TLinkKind::Text, base + "notes.txt", ""},
        {"file:///srv/x.txt", TLinkKind::Text, "/srv/x.txt", ""},
        {"FILE://localhost/srv/x.txt", TLinkKind::Text, "/srv/x.txt", ""},
        {"file://host/srv/x.txt", TLinkKind::Text, "", ""},
        {"/srv/x.txt", TLinkKind::Text, "/srv/x.txt", ""},
        {"cut%00.txt", TLinkKind::Text, "", ""},
        {"setup.EXE", TLinkKind::Program, base + "setup.EXE", ""},
        {"tools/run.sh", TLinkKind::Program, base + "tools/run.sh", ""},
        {"report.pdf", TLinkKind::DesktopFile, base + "report.pdf", ""},
        {"data.tar.gz", TLinkKind::DesktopFile, base + "data.tar.gz", ""},
        // Pages the view loads itself, and addresses it does not follow.
        {"NOTES.Html#x", TLinkKind::Other, "", ""},
        {"README", TLinkKind::Other, "", ""},
        {"folder.d/", TLinkKind::Other, "", ""},
        {"ftp://example.org/a.txt", TLinkKind::Other, "", ""},
        {"", TLinkKind::Other, "", ""},
    };
    for (const Case& c : cases) {
        const TPageLink link = ClassifyLink(c.target, book);
        EXPECT_EQ(link.Kind, c.kind) << c.target;
        EXPECT_EQ(link.Kind, LinkKindOf(c.target)) << c.target;
        EXPECT_EQ(link.Path, c.path) << c.target;
        EXPECT_EQ(link.Name, c.name) << c.target;
    }
    EXPECT_EQ(ClassifyLink("#top", book).Anchor, "top");
    // From a page elsewhere, files and pictures are found beside it.
    const std::string sub = NativePath("/books/Sky/Base/sub/");
    EXPECT_EQ(ClassifyLink("x.txt", book, sub).Path, sub + "x.txt");
    EXPECT_EQ(ClassifyLink("../Pictures/x.png", book, sub).Path, sub + "../Pictures/x.png");
    EXPECT_EQ(ClassifyLink("../Pictures/x.png", book, base).Path, sky + "Pictures/x.png");
    EXPECT_EQ(ClassifyLink("a/b.jpg", book).DiscFolder, "Books\\Sky\\Pictures");
}

TEST(PageLinks, AnchorsAreSplitAtTheLastHash) {
    const struct Case {
        const char* path;
        const char* file;
        const char* anchor;
    } cases[] = {
        {"/b/Base/notes.htm#note5", "/b/Base/notes.htm", "note5"},
        {"/etc/hostname#x.htm", "/etc/hostname", "x.htm"},
        {"/b/a#b#c", "/b/a#b", "c"},
        {"/b/page.htm", "/b/page.htm", ""},
        {"/b/page.htm#", "/b/page.htm", ""},
    };
    for (const Case& c : cases) {
        const auto [file, anchor] = SplitAnchor(c.path);
        EXPECT_EQ(file, c.file) << c.path;
        EXPECT_EQ(anchor, c.anchor) << c.path;
    }
}

TEST(PageLinks, LinksLeadOnlyIntoTheEditionAndTheReaderFolders) {
    const std::vector<std::string> allowed = {"/books/Sky", "/app/"};
    const struct Case {
        const char* path;
        bool inside;
    } cases[] = {
        {"/books/Sky/Base/notes.htm", true},
        {"/books/Sky", true},
        {"/books/Sky/Base/../Pictures/p1.jpg", true},
        {"/books/Sky/Base/./a/./../b.htm", true},
        {"/books/Sky/Base/../../Sky/Base/x.htm", true},
        {"/app/Base/Back.htm", true},
        {"/app/Books/Other/Base/x.htm", true}, // the reader's folder holds the other editions
        {"/books/Sky/Base/../../../etc/hostname", false},
        {"/books/Sky/Base/../../../../../../../etc/hostname", false},
        {"/books/Sky/Base/../../SkyLab/Base/x.htm", false}, // a name that only begins alike
        {"/books/SkyLab", false},
        {"/books/Sky/..", false},
        {"/books/Sky\\Base\\..\\..\\..\\etc\\hostname", false},
        {"/books/Sky/Base//..//..//x", false},
        {"/etc/os-release", false},
        {"/", false},
        {"/app", true},
        {"/application/x", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LiesInside(c.path, allowed), c.inside) << c.path;
    EXPECT_FALSE(LiesInside("/books/Sky/Base/notes.htm", {}));
    EXPECT_FALSE(LiesInside("/books/Sky/Base/notes.htm", {""}));
}

TEST(PageLinks, ExistingPathsCompareAsTheLoadingFindsThem) {
    TTempFolder folder;
    WriteFiles(folder.Path(), {{"Books/Sky/Base/Notes.htm", "<P>notes"}, {"outside.htm", "x"}});
    const std::string book = folder.Path() / "Books" / "Sky";
    // Other letter case reaches the same file; ".." through existing folders leaves the edition.
    EXPECT_TRUE(LiesInside(folder.Path() / "BOOKS/sky/base/NOTES.HTM", {book}));
    EXPECT_FALSE(LiesInside(book + "/Base/../../../outside.htm", {book}));
    EXPECT_TRUE(LiesInside(folder.Path() / "outside.htm", {book, folder.Path().string() + "/"}));
    // A relative path is taken from the current folder.
    EXPECT_EQ(PlaceOf("a/../b"), PlaceOf(FileSystem().AbsolutePath("b")));
}

} // namespace
