#include "reader/core/PageLinks.h"

#include <gtest/gtest.h>

using namespace quarto;

namespace {

TEST(PageLinks, TargetsAreClassifiedInTheReadersOrder) {
    Tbook book;
    book.BookFolder = "/books/Sky";
    book.RegKey = "Sky";
    const std::string base = "/books/Sky/Base/";
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
        {"../Pictures/p1.jpg", TLinkKind::Picture, "/books/Sky/Pictures/p1.jpg", "p1.jpg"},
        {"Pictures/sub/p2.JPG", TLinkKind::Picture, "/books/Sky/Pictures/sub/p2.JPG", "p2.JPG"},
        {"pictures/p1.jpg", TLinkKind::Picture, base + "pictures/p1.jpg", "p1.jpg"},
        {"P1.JPG", TLinkKind::Picture, base + "P1.JPG", ""},
        {"video_1/clip.avi", TLinkKind::Video, "/books/Sky/video_1/clip.avi", "clip.avi"},
        {"clip.AVI", TLinkKind::Video, "/books/Sky/video_1/", ""},
        {"#top", TLinkKind::PageAnchor, "", ""},
        {"HTTP://example.org/", TLinkKind::DesktopAddress, "", ""},
        {"mailto:someone@example.org", TLinkKind::DesktopAddress, "", ""},
        {"readme.txt", TLinkKind::Other, "", ""},
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
    EXPECT_EQ(ClassifyLink("a/b.jpg", book).DiscFolder, "Books\\Sky\\Pictures");
}

} // namespace
