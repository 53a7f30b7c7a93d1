#include "EditionExport.h"

#include "XhtmlWriter.h"
#include "ZipWriter.h"
#include "common/AsciiText.h"
#include "common/BmpFile.h"
#include "common/ByteStream.h"
#include "common/Cp1251.h"
#include "common/EditionLayout.h"
#include "common/FileSystem.h"
#include "common/IniFile.h"
#include "common/JpegCodec.h"
#include "common/MediaKinds.h"
#include "common/RecordFile.h"
#include "reader/core/ArticleStore.h"
#include "reader/core/ContentsFile.h"
#include "reader/core/ContentsTree.h"
#include "reader/core/PageComposer.h"
#include "reader/core/PageLinks.h"
#include "reader/core/TextStore.h"
#include "reader/media/Illustrations.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>

namespace quarto {

namespace {

enum class TFormat { Epub, Html };

std::string Numbered(char prefix, std::size_t n, int width) {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%0*zu", width, n);
    return std::string(1, prefix) + digits;
}

std::string NowStamp() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &now);
#else
    gmtime_r(&now, &utc);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

// The identifier of the book: the edition's key, its bytes that a URN does not take written
// as %XX.
std::string BookIdentifier(const std::string& regKey) {
    std::string id = "urn:quarto:";
    for (const unsigned char c : Cp1251ToUtf8(regKey)) {
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.') {
            id += static_cast<char>(c);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            id += hex;
        }
    }
    return id;
}

const char* const StyleSheet = R"(body { font-family: serif; line-height: 1.4; margin: 0 1em; }
h1, h2, h3, h4, h5, h6 { font-family: sans-serif; }
pre { white-space: pre-wrap; font-family: monospace; }
table.bordered td, table.bordered th { border: 1px solid #888; padding: 0.2em; }
table { border-collapse: collapse; }
img { max-width: 100%; height: auto; }
figure img { max-height: 80vh; }
figure { margin: 1em 0; text-align: center; }
figcaption { font-size: smaller; }
nav.pages { font-family: sans-serif; font-size: smaller; margin: 0.5em 0; }
nav.pages a { margin-right: 1em; }
ul.contents { list-style: none; padding-left: 1.2em; }
)";

struct TPage {
    int Node = 0;
    std::string File;  // relative to the book's root
    std::string Title; // UTF-8
};

class TExporter {
public:
    TExporter(const Tbook& book, const TExportOptions& options, TFormat format)
        : FBook(book), FOptions(options), FFormat(format),
          FExt(format == TFormat::Epub ? ".xhtml" : ".html"),
          FPagesFolder(format == TFormat::Epub ? "text/" : "pages/") {}

    // Writes every file through put; returns the report.
    TExportReport Run(const std::function<void(const std::string&, std::string_view, bool)>& put) {
        FPut = put;
        if (!LoadContents(FBook.BookFolder, FList))
            throw std::runtime_error(ContentsPath(FBook.BookFolder) +
                                     ": файла оглавления нет.");
        FTree = BuildContentsTree(FList);
        const TIniFile descriptor = TIniFile::Load(ResolvePath(DescriptorPath(FBook.BookFolder)));
        FTitle = XmlSafeUtf8(Cp1251ToUtf8(descriptor.ReadString("Main", "Title", "")));
        FTitle2 = XmlSafeUtf8(Cp1251ToUtf8(descriptor.ReadString("Main", "Title2", "")));
        if (FTitle.empty())
            FTitle = XmlSafeUtf8(Cp1251ToUtf8(FBook.RegKey));

        for (std::size_t n = 0; n < FTree.Nodes.size(); ++n) {
            const TContentsNode& node = FTree.Nodes[n];
            FPages.push_back({static_cast<int>(n), FPagesFolder + Numbered('p', n + 1, 5) + FExt,
                              XmlSafeUtf8(Cp1251ToUtf8(FList[static_cast<std::size_t>(node.Entry)].Title))});
            if (FPages.back().Title.empty())
                FPages.back().Title = "…";
        }
        try {
            FStore = std::make_unique<TTextStore>(FBook.BookFolder);
        } catch (const std::exception& error) {
            Problem(std::string("Тексты не прочитаны: ") + error.what());
        }
        for (std::size_t n = 0; n < FPages.size(); ++n) {
            WritePage(n);
            if (FOptions.Progress)
                FOptions.Progress(n + 1, FPages.size());
        }
        // Reference pages found while writing, and those they link.
        while (!FPendingRefs.empty()) {
            const auto [path, name] = FPendingRefs.front();
            FPendingRefs.pop_front();
            WriteReferencePage(path, name);
        }
        if (FBook.Pictures)
            WriteGallery();
        Put("style.css", StyleSheet);
        if (FFormat == TFormat::Epub)
            WriteEpubFrame();
        else
            WriteHtmlIndex();
        FReport.Pages = FPages.size();
        return FReport;
    }

private:
    struct TDoc {
        std::string File;
        std::string Id;
        bool Linear = true;
    };

    void Problem(std::string text) { FReport.Problems.push_back(std::move(text)); }
    void Put(const std::string& name, std::string_view bytes, bool compress = true) {
        FPut(name, bytes, compress);
    }

    // A page of the book: the document around body.
    std::string Document(const std::string& title, const std::string& body,
                         const std::string& up) const {
        std::string out;
        if (FFormat == TFormat::Epub)
            out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE html>\n"
                  "<html xmlns=\"http://www.w3.org/1999/xhtml\" "
                  "xmlns:epub=\"http://www.idpf.org/2007/ops\" xml:lang=\"ru\" lang=\"ru\">\n";
        else
            out = "<!DOCTYPE html>\n<html lang=\"ru\">\n";
        out += "<head>\n<meta charset=\"utf-8\"/>\n<title>" + XmlEscape(title) +
               "</title>\n<link rel=\"stylesheet\" type=\"text/css\" href=\"" + up +
               "style.css\"/>\n</head>\n<body>\n" + body + "\n</body>\n</html>\n";
        return out;
    }

    // The text of a page as UTF-8, the line breaks taken out when the edition says so.
    std::string PageText(std::string source, bool declared) const {
        if (FBook.BR)
            RewriteLineBreaks(source);
        const bool utf = FBook.UTF || (declared && DeclaredCharset(source) == TPageCharset::Utf8);
        return utf ? source : Cp1251ToUtf8(source);
    }

    TXhtmlRewrite Rewrite(const std::string& where) {
        TXhtmlRewrite rewrite;
        rewrite.Link = [this, where](std::string_view href) { return LinkTarget(href, where); };
        rewrite.Image = [this, where](std::string_view src) { return ImageSource(src, where); };
        return rewrite;
    }

    std::optional<std::string> LinkTarget(std::string_view href, const std::string& where) {
        // The pages were written in 1251 or UTF-8; the classification works on the bytes the
        // reader sees, which for a 1251 edition are 1251.
        const std::string target = FBook.UTF ? std::string(href) : Utf8ToCp1251(href);
        const TPageLink link = ClassifyLink(target, FBook);
        switch (link.Kind) {
        case TLinkKind::PageAnchor:
            return "#" + AnchorIdOf(std::string(href.substr(href.find('#') + 1)));
        case TLinkKind::DesktopAddress:
            return std::string(href);
        case TLinkKind::ReferencePage: {
            const auto [file, anchor] = SplitAnchor(link.Path);
            const std::string name = ReferenceName(file, where);
            if (name.empty())
                return std::nullopt;
            const std::string utfAnchor = FBook.UTF ? anchor : Cp1251ToUtf8(anchor);
            return "../" + name + (anchor.empty() ? "" : "#" + AnchorIdOf(utfAnchor));
        }
        case TLinkKind::Picture: {
            std::string path = ResolvePath(link.Path);
            if ((path.empty() || !Inside(path)) && FOptions.FindOnDisc && !link.Name.empty())
                path = FOptions.FindOnDisc(link.DiscFolder, link.Name);
            const std::string image = path.empty() ? std::string() : ImageName(path, where);
            if (image.empty()) {
                if (path.empty())
                    Problem(where + ": нет рисунка " + Shown(target));
                return std::nullopt;
            }
            if (FFormat == TFormat::Html)
                return "../" + image;
            return "../" + PicturePage(image);
        }
        case TLinkKind::Video:
            // A browser hands the clip to the system's player; a book has no place for it.
            if (FFormat == TFormat::Html) {
                const std::string path = ResolvePath(link.Path);
                if (path.empty() || !LiesInside(path, {FBook.BookFolder})) {
                    Problem(where + ": нет видеофрагмента " + Shown(target));
                    return std::nullopt;
                }
                const std::string place = PlaceOf(path);
                auto found = FClips.find(place);
                if (found == FClips.end()) {
                    const std::string name = "video/" + Numbered('c', FClips.size() + 1, 4) + ".avi";
                    try {
                        Put(name, FileSystem().ReadWholeFile(path), false);
                    } catch (const std::exception& error) {
                        Problem(where + ": видеофрагмент " + Shown(target) + " не прочитан: " +
                                error.what());
                        return std::nullopt;
                    }
                    found = FClips.emplace(place, name).first;
                }
                return "../" + found->second;
            }
            return std::nullopt;
        case TLinkKind::Sound:
        case TLinkKind::Text:
        case TLinkKind::Program:
        case TLinkKind::DesktopFile:
        case TLinkKind::Other:
            // Files the reader plays, shows as text or hands to the desktop: a book has no
            // place for them, and keeps the text of the link.
            return std::nullopt;
        }
        return std::nullopt;
    }

    std::optional<std::string> ImageSource(std::string_view src, const std::string& where) {
        std::string name(FBook.UTF ? std::string(src) : Utf8ToCp1251(src));
        for (std::size_t at; (at = name.find("%20")) != std::string::npos;)
            name.replace(at, 3, " ");
        const std::string path = ResolvePath(LayoutPath(PageBaseFolder(FBook.BookFolder), name));
        if (path.empty() || !Inside(path)) {
            Problem(where + ": нет рисунка " + Shown(name));
            return std::nullopt;
        }
        const std::string image = ImageName(path, where);
        if (image.empty())
            return std::nullopt;
        return "../" + image;
    }

    std::string Shown(const std::string& name) const {
        return "«" + XmlSafeUtf8(FBook.UTF ? name : Cp1251ToUtf8(name)) + "»";
    }

    bool Inside(const std::string& path) const {
        std::vector<std::string> folders = {FBook.BookFolder};
        if (!FOptions.AppFolder.empty())
            folders.push_back(FOptions.AppFolder);
        return LiesInside(path, folders);
    }

    // The exported name of the reference page at path (queued for writing when new); empty
    // when there is no such page in the edition.
    std::string ReferenceName(const std::string& file, const std::string& where) {
        const std::string path = ResolvePath(file);
        if (path.empty() || FileSystem().Stat(path).Kind != TEntryKind::File ||
            !LiesInside(path, {FBook.BookFolder})) {
            Problem(where + ": нет страницы " + Shown(FileNameOf(file)));
            return {};
        }
        const std::string place = PlaceOf(path);
        auto found = FRefNames.find(place);
        if (found == FRefNames.end()) {
            const std::string name = "ref/" + Numbered('r', FRefNames.size() + 1, 4) + FExt;
            found = FRefNames.emplace(place, name).first;
            FPendingRefs.emplace_back(path, name);
        }
        return found->second;
    }

    // The exported name of the picture at path (copied when new; a BMP becomes a JPEG); empty
    // when it cannot be read or is of no kind a book holds.
    std::string ImageName(const std::string& path, const std::string& where) {
        const std::string place = PlaceOf(path);
        if (const auto found = FImageNames.find(place); found != FImageNames.end())
            return found->second;
        // The kinds a book holds (jpg, png, gif; a BMP made JPEG), by the media table.
        const TMediaType& type = MediaTypeOfName(path);
        std::string bytes;
        try {
            bytes = FileSystem().ReadWholeFile(path);
            if (type.ExportedAsJpeg)
                bytes = EncodeJpeg(DecodeBmp(bytes));
        } catch (const std::exception& error) {
            Problem(where + ": рисунок " + Shown(FileNameOf(path)) + " не прочитан: " +
                    error.what());
            FImageNames.emplace(place, "");
            return {};
        }
        if (type.ExportedAs.empty()) {
            FImageNames.emplace(place, "");
            return {};
        }
        const std::string name =
            "images/" + Numbered('i', FImages.size() + 1, 4) + std::string(type.ExportedAs);
        FImageNames.emplace(place, name);
        FImages.push_back(name);
        Put(name, bytes, false);
        return name;
    }

    // EPUB: the page that shows a linked picture (a book links pages, not pictures).
    std::string PicturePage(const std::string& image) {
        if (const auto found = FPicturePages.find(image); found != FPicturePages.end())
            return found->second;
        const std::string name = "pictures/" + Numbered('v', FPicturePages.size() + 1, 4) + FExt;
        FPicturePages.emplace(image, name);
        Put(name, Document(FTitle, "<figure><img src=\"../" + image + "\" alt=\"\"/></figure>", "../"));
        FDocs.push_back({name, Numbered('v', FPicturePages.size(), 4), false});
        return name;
    }

    void WritePage(std::size_t n) {
        const TPage& page = FPages[n];
        const TContentsNode& node = FTree.Nodes[static_cast<std::size_t>(page.Node)];
        const std::string where = "Статья " + std::to_string(node.Entry) + " «" + page.Title + "»";
        // The texts of its entry and of the entries left out of the tree after it.
        const std::size_t first = static_cast<std::size_t>(node.Entry);
        std::size_t end = first + 1;
        while (end < FList.size() && FTree.NodeOfEntry[end] < 0)
            ++end;
        std::string body;
        if (FStore) {
            try {
                // Each text as its own kind makes it (plain text at a level below the top is
                // preformatted).
                std::string text;
                for (std::size_t e = first; e < end; ++e)
                    text += ReadArticleBody(
                        *FStore, {{FList[e].DataOffset, FList[e].Kind, FList[e].Level}});
                body = ToXhtmlBody(PageText(std::move(text), false), Rewrite(where));
            } catch (const std::exception& error) {
                Problem(where + " пропущена: " + error.what());
            }
        }
        if (Trimmed(body).empty())
            body = "<h1>" + XmlEscape(page.Title) + "</h1>";
        if (FFormat == TFormat::Html)
            body = PageLinks(n) + body + "\n" + PageLinks(n);
        Put(page.File, Document(page.Title, body, "../"));
        FDocs.push_back({page.File, Numbered('p', n + 1, 5), true});
    }

    static std::string Trimmed(const std::string& text) {
        const std::size_t first = text.find_first_not_of(" \t\r\n");
        return first == std::string::npos ? std::string() : text.substr(first);
    }

    // HTML: the links to the page before and after and to the contents.
    std::string PageLinks(std::size_t n) const {
        std::string links = "<nav class=\"pages\">";
        if (n > 0)
            links += "<a href=\"../" + FPages[n - 1].File + "\" rel=\"prev\">← " +
                     XmlEscape(FPages[n - 1].Title) + "</a>";
        links += "<a href=\"../index.html\">Содержание</a>";
        if (n + 1 < FPages.size())
            links += "<a href=\"../" + FPages[n + 1].File + "\" rel=\"next\">" +
                     XmlEscape(FPages[n + 1].Title) + " →</a>";
        return links + "</nav>\n";
    }

    void WriteReferencePage(const std::string& path, const std::string& name) {
        const std::string where = "Страница " + Shown(FileNameOf(path));
        std::string body;
        std::string title = XmlSafeUtf8(FBook.UTF ? FileNameOf(path) : Cp1251ToUtf8(FileNameOf(path)));
        try {
            const std::string text = PageText(FileSystem().ReadWholeFile(path), true);
            body = ToXhtmlBody(text, Rewrite(where));
            title = TitleOf(text, title);
        } catch (const std::exception& error) {
            Problem(where + " не прочитана: " + error.what());
        }
        if (FFormat == TFormat::Html)
            body = "<nav class=\"pages\"><a href=\"../index.html\">Содержание</a></nav>\n" + body;
        Put(name, Document(title, body, "../"));
        FDocs.push_back({name, name.substr(4, 5), false});
    }

    static std::string TitleOf(const std::string& page, const std::string& otherwise) {
        const std::string lower =
            AsciiLowered(page.substr(0, std::min<std::size_t>(page.size(), 4096)));
        const std::size_t open = lower.find("<title");
        const std::size_t start = open == std::string::npos ? open : lower.find('>', open);
        const std::size_t close = start == std::string::npos ? start : lower.find("</title", start);
        if (close == std::string::npos)
            return otherwise;
        std::string title = ToXhtmlBody(page.substr(start + 1, close - start - 1));
        // Plain text: the converter escaped it already; the document escapes once more.
        title = Trimmed(title);
        if (title.empty() || title.find('<') != std::string::npos)
            return otherwise;
        return XmlUnescape(title);
    }

    void WriteGallery() {
        TIllustrations catalogue;
        TThumbnailData thumbnails;
        try {
            catalogue = ReadIllustrations(FBook.BookFolder);
        } catch (const std::exception& error) {
            Problem(std::string("Иллюстрации пропущены: ") + error.what());
            return;
        }
        bool haveThumbnails = true;
        try {
            thumbnails.Reload(FBook.BookFolder);
        } catch (const std::exception&) {
            haveThumbnails = false;
        }
        const std::string where = "Иллюстрации";
        const auto figure = [&](int k) -> std::string {
            const TPicTextInf& info = catalogue.PicInfo[static_cast<std::size_t>(k)];
            std::string image;
            const std::string name = PictureNameOfEntry(catalogue, k);
            if (!name.empty() && FOptions.FindOnDisc) {
                const std::string full =
                    FOptions.FindOnDisc(EditionPicturesName(FBook.RegKey), name);
                if (!full.empty())
                    image = ImageName(full, where);
            }
            if (image.empty() && haveThumbnails)
                for (int cell = 0; cell < thumbnails.Count(); ++cell)
                    if (EntryOfCell(catalogue, cell) == k && !thumbnails.Bytes(cell).empty()) {
                        image = "images/" + Numbered('t', static_cast<std::size_t>(cell) + 1, 4) + ".jpg";
                        if (FImageNames.emplace("thumbnail:" + std::to_string(cell), image).second) {
                            FImages.push_back(image);
                            Put(image, thumbnails.Bytes(cell), false);
                        }
                        break;
                    }
            const std::string title = XmlEscape(XmlSafeUtf8(Cp1251ToUtf8(info.PicTitle)));
            const std::string text = XmlEscape(XmlSafeUtf8(Cp1251ToUtf8(info.PicText)));
            if (image.empty())
                Problem(where + ": нет рисунка «" + XmlSafeUtf8(Cp1251ToUtf8(info.PicTitle)) + "»");
            return "<figure>" +
                   (image.empty() ? std::string()
                                  : "<img src=\"../" + image + "\" alt=\"" + title + "\"/>") +
                   "<figcaption><b>" + title + "</b>" + (text.empty() ? "" : "<br/>" + text) +
                   "</figcaption></figure>\n";
        };
        std::string body = "<h1>Иллюстрации</h1>\n";
        std::vector<bool> shown(catalogue.PicInfo.size(), false);
        for (std::size_t h = 1; h <= catalogue.Headings.size(); ++h) {
            const std::vector<int> entries = catalogue.EntriesOfHeading(static_cast<int>(h));
            if (entries.empty())
                continue;
            body += "<h2>" + XmlEscape(XmlSafeUtf8(Cp1251ToUtf8(catalogue.Headings[h - 1]))) + "</h2>\n";
            for (const int k : entries) {
                body += figure(k);
                shown[static_cast<std::size_t>(k)] = true;
            }
        }
        for (std::size_t k = 0; k < shown.size(); ++k)
            if (!shown[k])
                body += figure(static_cast<int>(k));
        if (FFormat == TFormat::Html)
            body = "<nav class=\"pages\"><a href=\"../index.html\">Содержание</a></nav>\n" + body;
        FGallery = FPagesFolder + "gallery" + FExt;
        Put(*FGallery, Document("Иллюстрации", body, "../"));
        FDocs.push_back({*FGallery, "gallery", true});
    }

    // The contents as nested lists: for the EPUB's navigation and the HTML index.
    std::string ContentsList(const std::vector<int>& nodes, const std::string& list,
                             int depth) const {
        if (nodes.empty())
            return {};
        std::string out = std::string(static_cast<std::size_t>(depth) * 2, ' ') + "<" + list +
                          (FFormat == TFormat::Html ? " class=\"contents\"" : "") + ">\n";
        for (const int n : nodes) {
            const TPage& page = FPages[static_cast<std::size_t>(n)];
            out += std::string(static_cast<std::size_t>(depth) * 2 + 1, ' ') + "<li><a href=\"" +
                   page.File + "\">" + XmlEscape(page.Title) + "</a>\n";
            if (depth < 200)
                out += ContentsList(FTree.Nodes[static_cast<std::size_t>(n)].Children, list, depth + 1);
            out += "</li>\n";
        }
        return out + "</" + list + ">\n";
    }

    std::string NavPoints(const std::vector<int>& nodes, int& order, int depth) const {
        std::string out;
        for (const int n : nodes) {
            const TPage& page = FPages[static_cast<std::size_t>(n)];
            ++order;
            out += "<navPoint id=\"np" + std::to_string(order) + "\" playOrder=\"" +
                   std::to_string(order) + "\"><navLabel><text>" + XmlEscape(page.Title) +
                   "</text></navLabel><content src=\"" + page.File + "\"/>\n";
            if (depth < 200)
                out += NavPoints(FTree.Nodes[static_cast<std::size_t>(n)].Children, order, depth + 1);
            out += "</navPoint>\n";
        }
        return out;
    }

    int TreeDepth() const {
        int depth = 0;
        for (const TContentsNode& node : FTree.Nodes)
            depth = std::max(depth, node.Depth + 1);
        return depth;
    }

    void WriteEpubFrame() {
        std::string nav = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE html>\n"
                          "<html xmlns=\"http://www.w3.org/1999/xhtml\" "
                          "xmlns:epub=\"http://www.idpf.org/2007/ops\" xml:lang=\"ru\" lang=\"ru\">\n"
                          "<head>\n<meta charset=\"utf-8\"/>\n<title>" + XmlEscape(FTitle) +
                          "</title>\n</head>\n<body>\n<nav epub:type=\"toc\" id=\"toc\">\n"
                          "<h1>Содержание</h1>\n";
        std::vector<int> top = FTree.TopNodes;
        std::string lists = ContentsList(top, "ol", 0);
        if (FGallery) {
            const std::string item = "<li><a href=\"" + *FGallery + "\">Иллюстрации</a></li>\n";
            if (lists.empty())
                lists = "<ol>\n" + item + "</ol>\n";
            else
                lists.insert(lists.size() - std::string("</ol>\n").size(), item);
        }
        if (lists.empty())
            lists = "<ol>\n<li><a href=\"nav.xhtml\">" + XmlEscape(FTitle) + "</a></li>\n</ol>\n";
        nav += lists + "</nav>\n</body>\n</html>\n";
        Put("nav.xhtml", nav);

        const std::string id = BookIdentifier(FBook.RegKey);
        int order = 0;
        std::string points = NavPoints(top, order, 0);
        if (FGallery) {
            ++order;
            points += "<navPoint id=\"np" + std::to_string(order) + "\" playOrder=\"" +
                      std::to_string(order) + "\"><navLabel><text>Иллюстрации</text></navLabel>"
                      "<content src=\"" + *FGallery + "\"/></navPoint>\n";
        }
        if (points.empty())
            points = "<navPoint id=\"np1\" playOrder=\"1\"><navLabel><text>" + XmlEscape(FTitle) +
                     "</text></navLabel><content src=\"nav.xhtml\"/></navPoint>\n";
        Put("toc.ncx", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<ncx xmlns=\"http://www.daisy.org/z3986/2005/ncx/\" version=\"2005-1\" "
                       "xml:lang=\"ru\">\n<head>\n<meta name=\"dtb:uid\" content=\"" + XmlEscape(id) +
                       "\"/>\n<meta name=\"dtb:depth\" content=\"" + std::to_string(std::max(1, TreeDepth())) +
                       "\"/>\n<meta name=\"dtb:totalPageCount\" content=\"0\"/>\n"
                       "<meta name=\"dtb:maxPageNumber\" content=\"0\"/>\n</head>\n<docTitle><text>" +
                       XmlEscape(FTitle) + "</text></docTitle>\n<navMap>\n" + points +
                       "</navMap>\n</ncx>\n");

        std::string manifest =
            "<item id=\"nav\" href=\"nav.xhtml\" media-type=\"application/xhtml+xml\" properties=\"nav\"/>\n"
            "<item id=\"ncx\" href=\"toc.ncx\" media-type=\"application/x-dtbncx+xml\"/>\n"
            "<item id=\"css\" href=\"style.css\" media-type=\"text/css\"/>\n";
        std::string spine;
        bool anyLinear = false;
        for (const TDoc& doc : FDocs) {
            manifest += "<item id=\"" + doc.Id + "\" href=\"" + doc.File +
                        "\" media-type=\"application/xhtml+xml\"/>\n";
            spine += "<itemref idref=\"" + doc.Id + "\"" + (doc.Linear ? "" : " linear=\"no\"") + "/>\n";
            anyLinear = anyLinear || doc.Linear;
        }
        if (!anyLinear)
            spine = "<itemref idref=\"nav\"/>\n" + spine;
        for (const std::string& image : FImages) {
            const std::string type(MediaTypeOfName(image).BookMediaType);
            std::string imageId = image.substr(7);
            std::replace(imageId.begin(), imageId.end(), '.', '-');
            manifest += "<item id=\"" + imageId + "\" href=\"" + image + "\" media-type=\"" + type + "\"/>\n";
        }
        const std::string modified = FOptions.Modified.empty() ? NowStamp() : FOptions.Modified;
        Put("content.opf",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\" "
            "unique-identifier=\"bookid\" xml:lang=\"ru\">\n"
            "<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
            "<dc:identifier id=\"bookid\">" + XmlEscape(id) + "</dc:identifier>\n"
            "<dc:title>" + XmlEscape(FTitle) + "</dc:title>\n" +
            (FTitle2.empty() ? "" : "<dc:description>" + XmlEscape(FTitle2) + "</dc:description>\n") +
            "<dc:language>ru</dc:language>\n"
            "<meta property=\"dcterms:modified\">" + modified + "</meta>\n"
            "</metadata>\n<manifest>\n" + manifest + "</manifest>\n<spine toc=\"ncx\">\n" + spine +
            "</spine>\n</package>\n");
    }

    void WriteHtmlIndex() {
        std::string body = "<h1>" + XmlEscape(FTitle) + "</h1>\n";
        if (!FTitle2.empty())
            body += "<p>" + XmlEscape(FTitle2) + "</p>\n";
        body += "<h2>Содержание</h2>\n" + ContentsList(FTree.TopNodes, "ul", 0);
        if (FGallery)
            body += "<p><a href=\"" + *FGallery + "\">Иллюстрации</a></p>\n";
        std::string page = Document(FTitle, body, "");
        Put("index.html", page);
    }

    const Tbook& FBook;
    const TExportOptions& FOptions;
    TFormat FFormat;
    std::string FExt;
    std::string FPagesFolder;
    std::function<void(const std::string&, std::string_view, bool)> FPut;
    std::string FTitle, FTitle2;
    std::vector<TContentsRec> FList;
    TContentsTree FTree;
    std::unique_ptr<TTextStore> FStore;
    std::vector<TPage> FPages;
    std::vector<TDoc> FDocs; // every page of the book, in reading order
    std::map<std::string, std::string> FRefNames;
    std::deque<std::pair<std::string, std::string>> FPendingRefs;
    std::map<std::string, std::string> FImageNames;
    std::vector<std::string> FImages;
    std::map<std::string, std::string> FPicturePages;
    std::map<std::string, std::string> FClips; // HTML: the clips linked, by place
    std::optional<std::string> FGallery;
    TExportReport FReport;
};

} // namespace

TExportReport ExportEpub(const Tbook& book, const std::string& path, const TExportOptions& options) {
    // Written beside its place and renamed over it, so a failed export leaves no half book.
    const std::string temporary = path + ".part";
    CreateFolders(ParentOf(FileSystem().AbsolutePath(path)));
    TExportReport report;
    try {
        TZipWriter zip(temporary);
        zip.Add("mimetype", "application/epub+zip", false);
        zip.Add("META-INF/container.xml",
                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                "<container version=\"1.0\" xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\">\n"
                "<rootfiles>\n<rootfile full-path=\"OEBPS/content.opf\" "
                "media-type=\"application/oebps-package+xml\"/>\n</rootfiles>\n</container>\n");
        TExporter exporter(book, options, TFormat::Epub);
        report = exporter.Run([&](const std::string& name, std::string_view bytes, bool compress) {
            zip.Add("OEBPS/" + name, bytes, compress);
        });
        zip.Close();
        FileSystem().Rename(temporary, path);
    } catch (...) {
        try {
            FileSystem().Remove(temporary);
        } catch (const EStreamError&) {
        }
        throw;
    }
    return report;
}

TExportReport ExportHtml(const Tbook& book, const std::string& folder,
                         const TExportOptions& options) {
    TFileSystem& files = FileSystem();
    const std::string root = JoinPath(files.AbsolutePath(folder), "");
    CreateFolders(root);
    for (const char* sub : {"pages", "ref", "images", "video"})
        files.CreateFolder(root + sub);
    TExporter exporter(book, options, TFormat::Html);
    return exporter.Run([&](const std::string& name, std::string_view bytes, bool) {
        files.WriteWholeFile(LayoutPath(root, name), bytes);
    });
}

} // namespace quarto
