#include "HtmlView.h"

#include "common/ByteStream.h"
#include "common/FileSystem.h"
#include "common/RecordFile.h"
#include "common/qt/QtText.h"
#include "reader/core/HtmlMarkup.h"
#include "reader/core/PageComposer.h"
#include "reader/core/PageLinks.h"
#include "reader/core/qt/ErrorReport.h"
#include "reader/core/qt/HtmlPieceImport.h"

#include <QAbstractTextDocumentLayout>
#include <QDesktopServices>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
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
    connect(this, &QTextBrowser::anchorClicked, this,
            [this](const QUrl& url) { Guarded([&] { LinkClicked(url); }); });
}

void THtmlView::LinkClicked(const QUrl& url) {
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

// Pages longer than this (in bytes) are imported in pieces of about PieceBytes; the first
// piece, about FirstPartBytes, is more than a screen at any font size and is shown at once,
// the rest at the next turn of the event loop.
constexpr std::size_t LargePageBytes = 256 * 1024;
constexpr std::size_t FirstPartBytes = 48 * 1024;
constexpr std::size_t PieceBytes = 128 * 1024;

} // namespace

void THtmlView::Show(std::string source, const std::string& anchor) {
    if (OnParseBegin)
        OnParseBegin(source);
    FSource = std::move(source);
    ++FLoadNumber;
    FPending.clear();
    FPending.shrink_to_fit();
    FPieces.clear();
    QFont font = document()->defaultFont();
    if (font.pointSize() != FFontSize) {
        // A new default font lays out the document again: empty it first, since the page shown
        // is about to be replaced.
        document()->clear();
        font.setPointSize(FFontSize);
        document()->setDefaultFont(font);
    }
    FPendingUtf8 = DeclaredCharset(FSource) == TPageCharset::Utf8;
    std::string html = RewriteForQt(FSource);
    std::vector<THtmlPiece> pieces;
    if (html.size() > LargePageBytes)
        pieces = SplitHtml(html, FirstPartBytes, PieceBytes);
    if (pieces.size() < 2) {
        SetDocumentHtml(FPendingUtf8 ? FromUtf8(html) : From1251(html));
        if (anchor.empty())
            verticalScrollBar()->setValue(0);
        else
            scrollToAnchor(FromUtf8(anchor));
        return;
    }
    const std::string_view first = std::string_view(html).substr(0, pieces.front().End);
    SetDocumentHtml(FPendingUtf8 ? FromUtf8(first) : From1251(first));
    verticalScrollBar()->setValue(0);
    FPending = std::move(html);
    FPieces = std::move(pieces);
    if (!anchor.empty()) {
        FinishLoading();
        scrollToAnchor(FromUtf8(anchor));
        return;
    }
    QTimer::singleShot(0, this, [this, load = FLoadNumber] {
        if (load == FLoadNumber)
            Guarded([&] { FinishLoading(); });
    });
}

void THtmlView::FinishLoading() {
    if (FPending.empty())
        return;
    const std::string html = std::move(FPending);
    const std::vector<THtmlPiece> pieces = std::move(FPieces);
    FPending.clear();
    FPieces.clear();
    const int across = horizontalScrollBar()->value();
    const int down = verticalScrollBar()->value();
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        const std::string markup = PieceMarkup(html, pieces[i]);
        AppendHtmlPiece(*document(), FPendingUtf8 ? FromUtf8(markup) : From1251(markup),
                        pieces[i].Kind);
    }
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
    // Called by the document while it lays out a page: a resource that fails is reported and
    // left out.
    QVariant resource;
    Guarded([&] { resource = Resource(type, name); });
    return resource;
}

QVariant THtmlView::Resource(int type, const QUrl& name) {
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

bool THtmlView::event(QEvent* event) {
    // The copy key goes to the window's copy command, as the painted area does, instead of
    // the view's own copying of the selection.
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        event->ignore();
        return true;
    }
    return QTextBrowser::event(event);
}

void THtmlView::mousePressEvent(QMouseEvent* event) {
    // The side buttons step through the window's history, not the view's own.
    if (event->button() == Qt::BackButton || event->button() == Qt::ForwardButton) {
        if (OnHistoryButton)
            Guarded([&] { OnHistoryButton(event->button() == Qt::ForwardButton); });
        event->accept();
        return;
    }
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
