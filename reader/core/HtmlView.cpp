#include "HtmlView.h"

#include "common/ByteStream.h"
#include "common/FileSystem.h"
#include "common/RecordFile.h"
#include "common/qt/QtText.h"
#include "reader/core/PageComposer.h"
#include "reader/core/PageLinks.h"

#include <QAbstractTextDocumentLayout>
#include <QDesktopServices>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextDocument>
#include <QTimer>
#include <QUrl>

#include <memory>

namespace quarto {

namespace {

// The fonts the pages are designed for. Where they are not installed, the system's font
// configuration maps them to the faces it keeps for them (metric-compatible ones such as
// Liberation Serif and Liberation Mono), so that lines keep the width they were designed with;
// naming stand-ins here would take precedence over that mapping.
const char* const TextFamily = "Times New Roman";
const char* const PreformattedFamily = "Courier New";

QString Decode(const std::string& bytes) {
    if (DeclaredCharset(bytes) == TPageCharset::Utf8)
        return FromUtf8(bytes);
    return From1251(bytes);
}

bool IsAsciiLetter(QChar c) {
    const char16_t u = c.unicode() | 0x20;
    return u >= 'a' && u <= 'z';
}

bool IsNameChar(QChar c) {
    return IsAsciiLetter(c) || (c >= u'0' && c <= u'9');
}

// The body's TEXT colour, which Qt does not read, as the body's style.
QString BodyTextAsStyle(const QString& tag) {
    static const QRegularExpression bodyText(
        QStringLiteral("^(<body\\b[^>]*?)\\btext\\s*=\\s*[\"']?(#?[0-9A-Za-z]+)[\"']?"),
        QRegularExpression::CaseInsensitiveOption);
    QString rewritten = tag;
    rewritten.replace(bodyText, QStringLiteral("\\1style=\"color:\\2\""));
    return rewritten;
}

// What the page markup needs before Qt parses it, in one pass over the source, as a browser
// reads it: a "<" that starts no tag (one not followed by a letter, "/", "!" or "?": "a < b",
// "x<3") is text; a closing tag that lost its ">" right before the next tag ("</PRE</BODY>")
// is closed; the body's TEXT colour becomes its style.
QString ForQt(const QString& html) {
    const qsizetype n = html.size();
    const QChar* const data = html.constData();
    QString out;
    out.reserve(n + n / 32 + 64);
    qsizetype i = 0;
    while (i < n) {
        const qsizetype lt = html.indexOf(u'<', i);
        if (lt < 0) {
            out.append(QStringView(data + i, n - i));
            break;
        }
        out.append(QStringView(data + i, lt - i));
        const QChar next = lt + 1 < n ? data[lt + 1] : QChar();
        if (!IsAsciiLetter(next) && next != u'/' && next != u'!' && next != u'?') {
            out.append(QLatin1String("&lt;"));
            i = lt + 1;
            continue;
        }
        if (QStringView(data + lt, n - lt).startsWith(QLatin1String("<!--"))) {
            const qsizetype close = html.indexOf(QLatin1String("-->"), lt + 4);
            const qsizetype end = close < 0 ? n : close + 3;
            out.append(QStringView(data + lt, end - lt));
            i = end;
            continue;
        }
        if (next == u'/' && lt + 2 < n && IsAsciiLetter(data[lt + 2])) {
            qsizetype k = lt + 2;
            while (k < n && IsNameChar(data[k]))
                ++k;
            qsizetype after = k;
            while (after < n && data[after].isSpace())
                ++after;
            if (after < n && data[after] == u'<') {
                out.append(QStringView(data + lt, k - lt));
                out.append(u'>');
                i = after;
                continue;
            }
        }
        const qsizetype gt = html.indexOf(u'>', lt + 1);
        const qsizetype end = gt < 0 ? n : gt + 1;
        const QStringView tag(data + lt, end - lt);
        if (tag.size() > 5 &&
            tag.mid(1, 4).compare(QLatin1String("body"), Qt::CaseInsensitive) == 0 &&
            !IsNameChar(tag[5]))
            out.append(BodyTextAsStyle(tag.toString()));
        else
            out.append(tag);
        i = end;
    }
    return out;
}

QString LocalPathOf(const QUrl& url) {
    if (url.isLocalFile())
        return url.toLocalFile();
    if (url.scheme().isEmpty())
        return url.path();
    // A drive-letter path written after "file:///" on a page made for another platform.
    return QString();
}

} // namespace

THtmlView::THtmlView(QWidget* parent) : QTextBrowser(parent) {
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setUndoRedoEnabled(false);
    setTextInteractionFlags(Qt::TextBrowserInteraction | Qt::TextSelectableByKeyboard);
    QFont font(QString::fromLatin1(TextFamily));
    font.setStyleHint(QFont::Serif);
    font.setPointSize(FFontSize);
    document()->setDefaultFont(font);
    // Preformatted lines are kept as written, as a browser keeps them: the view scrolls
    // sideways rather than breaking them.
    document()->setDefaultStyleSheet(
        QStringLiteral("pre, code, tt { font-family: '%1'; } pre { white-space: pre; }")
            .arg(QString::fromLatin1(PreformattedFamily)));
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        // The target as written: from the anchor under the mouse, or under the cursor when the
        // link was activated from the keyboard.
        QString href = anchorAt(FReleasePos);
        if (href.isEmpty())
            href = textCursor().charFormat().anchorHref();
        if (href.isEmpty())
            href = url.toString();
        const std::string target = ToUtf8(href);
        bool handled = false;
        if (OnHotSpotClick)
            OnHotSpotClick(target, handled);
        if (!handled)
            FollowLink(target);
    });
}

void THtmlView::LoadFromFile(const std::string& path) {
    const auto [file, anchor] = SplitAnchor(path);
    const std::string resolved = ResolvePath(file);
    if (!FileExists(resolved))
        throw EStreamError("Не удалось открыть файл \"" + file + "\".");
    std::string bytes = ReadWholeFile(resolved);
    const std::string folder = ParentOf(resolved);
    SetBaseFolder(JoinPath(FileSystem().AbsolutePath(folder.empty() ? "." : folder), ""));
    Show(std::move(bytes), anchor);
}

void THtmlView::LoadFromBytes(const std::string& page) {
    Show(page, std::string());
}

void THtmlView::LoadFromText(const std::string& source) {
    Show(source, std::string());
}

void THtmlView::SetBaseFolder(const std::string& folder) {
    FBaseFolder = folder;
    if (!FBaseFolder.empty() && FBaseFolder.back() != '/' && FBaseFolder.back() != '\\')
        FBaseFolder += '/';
    document()->setBaseUrl(QUrl::fromLocalFile(FromUtf8(FBaseFolder)));
}

namespace {

// Pages longer than this (in characters) are shown in two steps; the first step shows about
// FirstPartChars of them, which is more than a screen at any font size.
constexpr qsizetype LargePageChars = 256 * 1024;
constexpr qsizetype FirstPartChars = 48 * 1024;

// Where the first part of a large page ends: at a line end or before a tag, never inside a
// tag; -1 for a page that is shown at once.
qsizetype FirstPartEnd(const QString& html) {
    if (html.size() <= LargePageChars)
        return -1;
    qsizetype at = FirstPartChars;
    if (html.lastIndexOf(u'<', at) > html.lastIndexOf(u'>', at)) {
        at = html.indexOf(u'>', at);
        if (at < 0)
            return -1;
        ++at;
    }
    for (qsizetype i = at; i < at + FirstPartChars && i < html.size(); ++i) {
        if (html[i] == u'<')
            return i;
        if (html[i] == u'\n')
            return i + 1;
    }
    return at;
}

} // namespace

void THtmlView::Show(std::string source, const std::string& anchor) {
    if (OnParseBegin)
        OnParseBegin(source);
    FSource = std::move(source);
    ++FLoadNumber;
    FPending.clear();
    QFont font = document()->defaultFont();
    if (font.pointSize() != FFontSize) {
        // A new default font lays out the document again: empty it first, since the page shown
        // is about to be replaced.
        document()->clear();
        font.setPointSize(FFontSize);
        document()->setDefaultFont(font);
    }
    QString html = ForQt(Decode(FSource));
    const qsizetype firstPart = anchor.empty() ? FirstPartEnd(html) : -1;
    if (firstPart < 0) {
        SetDocumentHtml(html);
        if (anchor.empty())
            verticalScrollBar()->setValue(0);
        else
            scrollToAnchor(FromUtf8(anchor));
        return;
    }
    // Parsing and laying out a large page takes long; its first screen needs only the
    // beginning. Qt tolerates the tags the cut leaves open.
    SetDocumentHtml(html.left(firstPart));
    verticalScrollBar()->setValue(0);
    FPending = std::move(html);
    QTimer::singleShot(0, this, [this, load = FLoadNumber] {
        if (load == FLoadNumber)
            FinishLoading();
    });
}

void THtmlView::FinishLoading() {
    if (FPending.isEmpty())
        return;
    const QString html = std::move(FPending);
    FPending.clear();
    const int across = horizontalScrollBar()->value();
    const int down = verticalScrollBar()->value();
    SetDocumentHtml(html);
    horizontalScrollBar()->setValue(across);
    verticalScrollBar()->setValue(down);
}

void THtmlView::SetDocumentHtml(const QString& html) {
    setHtml(html);
    // setHtml drops the base URL: put it back so pictures and links resolve against it.
    document()->setBaseUrl(QUrl::fromLocalFile(FromUtf8(FBaseFolder)));
}

void THtmlView::FollowLink(const std::string& target) {
    const QString href = FromUtf8(target);
    if (href.startsWith('#')) {
        scrollToAnchor(href.mid(1));
        return;
    }
    const QUrl url(href);
    if (url.scheme() == "http" || url.scheme() == "https" || url.scheme() == "mailto") {
        QDesktopServices::openUrl(url);
        return;
    }
    // A page of the edition: resolved against the base folder, looked up ignoring case.
    const QUrl resolved = document()->baseUrl().resolved(url);
    const QString local = LocalPathOf(resolved);
    if (local.isEmpty())
        return;
    std::string path = ToUtf8(local);
    // A page or picture elsewhere than in the edition and the reader ("..", an absolute path, a
    // file: address) is not opened.
    if (!LiesInside(path, FAllowedFolders))
        return;
    if (resolved.hasFragment())
        path += "#" + ToUtf8(resolved.fragment());
    try {
        LoadFromFile(path);
    } catch (const EStreamError&) {
        // A link to a page that is not there leaves the page as it is.
    }
}

QVariant THtmlView::loadResource(int type, const QUrl& name) {
    QUrl url = name;
    if (url.isRelative())
        url = document()->baseUrl().resolved(url);
    const QString local = LocalPathOf(url);
    if (local.isEmpty())
        return QVariant();
    const std::string path = ResolvePath(ToUtf8(local));
    if (!FileExists(path))
        return QVariant();
    // Pictures and pages come only from the allowed folders, once they are given.
    if (!FAllowedFolders.empty() && !LiesInside(path, FAllowedFolders))
        return QVariant();
    std::string bytes;
    try {
        bytes = ReadWholeFile(path);
    } catch (const std::exception&) {
        return QVariant();
    }
    if (type == QTextDocument::ImageResource) {
        QImage image;
        image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()),
                           static_cast<int>(bytes.size()));
        return image.isNull() ? QVariant() : QVariant(image);
    }
    return Decode(bytes);
}

void THtmlView::mousePressEvent(QMouseEvent* event) {
    FPressPos = event->position().toPoint();
    QTextBrowser::mousePressEvent(event);
}

void THtmlView::mouseReleaseEvent(QMouseEvent* event) {
    FReleasePos = event->position().toPoint();
    QTextBrowser::mouseReleaseEvent(event);
}

void THtmlView::SetDefaultFontSize(int points) {
    // Applied by the next load, which the font panel makes at once.
    FFontSize = points;
}

int THtmlView::SelectionLength() const {
    return static_cast<int>(textCursor().selectedText().size());
}

void THtmlView::SelectAllText() {
    FinishLoading();
    selectAll();
}

void THtmlView::CopySelection() {
    // A selection made in the beginning of a large page is copied as it is.
    copy();
}

namespace {

// A copy of the page laid out on the printer's page: 2 cm margins, scale 1.0.
std::unique_ptr<QTextDocument> LayOutForPrinting(const QTextDocument& source, QPrinter& printer) {
    printer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    std::unique_ptr<QTextDocument> doc(source.clone());
    doc->documentLayout()->setPaintDevice(&printer);
    doc->setDocumentMargin(0);
    doc->setPageSize(printer.pageRect(QPrinter::DevicePixel).size());
    return doc;
}

} // namespace

int THtmlView::PrintedPageCount(QPrinter& printer) {
    FinishLoading(); // the whole page prints
    return LayOutForPrinting(*document(), printer)->pageCount();
}

void THtmlView::PrintPages(QPrinter& printer, int first, int last) {
    FinishLoading();
    const std::unique_ptr<QTextDocument> doc = LayOutForPrinting(*document(), printer);
    last = std::min(last, doc->pageCount());
    if (first < 1 || first > last)
        return;
    QPainter painter;
    if (!painter.begin(&printer))
        throw EStreamError("Принтер не может печатать.");
    const QSizeF page = doc->pageSize();
    for (int n = first; n <= last; ++n) {
        if (n > first)
            printer.newPage();
        painter.save();
        const QRectF clip(0, (n - 1) * page.height(), page.width(), page.height());
        painter.translate(0, -clip.top());
        doc->drawContents(&painter, clip);
        painter.restore();
    }
    painter.end();
}

} // namespace quarto
