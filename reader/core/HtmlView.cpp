#include "HtmlView.h"

#include "common/ByteStream.h"
#include "common/FileSystem.h"
#include "common/RecordFile.h"
#include "common/qt/QtText.h"
#include "reader/core/PageComposer.h"

#include <QAbstractTextDocumentLayout>
#include <QDesktopServices>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextDocument>
#include <QUrl>

#include <memory>

namespace quarto {

namespace {

// The fonts the pages are designed for, then faces with Cyrillic glyphs that stand in for
// them where they are not installed.
const QStringList TextFamilies = {"Times New Roman", "Liberation Serif", "DejaVu Serif", "serif"};
const char* const PreformattedFamilies =
    "'Courier New', 'Liberation Mono', 'DejaVu Sans Mono', monospace";

QString Decode(const std::string& bytes) {
    if (DeclaredCharset(bytes) == TPageCharset::Utf8)
        return FromUtf8(bytes);
    return From1251(bytes);
}

// What the page markup needs before Qt parses it: a closing tag that lost its ">" right
// before the next tag ("</PRE</BODY>") is closed, and the body's TEXT colour, which Qt does
// not read, becomes the body's style.
QString ForQt(QString html) {
    static const QRegularExpression unclosedEndTag(QStringLiteral("(</[A-Za-z][A-Za-z0-9]*)\\s*<"));
    html.replace(unclosedEndTag, QStringLiteral("\\1><"));
    static const QRegularExpression bodyText(
        QStringLiteral("(<body\\b[^>]*?)\\btext\\s*=\\s*[\"']?(#?[0-9A-Za-z]+)[\"']?"),
        QRegularExpression::CaseInsensitiveOption);
    html.replace(bodyText, QStringLiteral("\\1style=\"color:\\2\""));
    return html;
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
    QFont font;
    font.setFamilies(TextFamilies);
    font.setPointSize(FFontSize);
    document()->setDefaultFont(font);
    document()->setDefaultStyleSheet(QStringLiteral("pre, code, tt { font-family: %1; }")
                                         .arg(QString::fromLatin1(PreformattedFamilies)));
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
    std::string file = path;
    std::string anchor;
    if (const std::size_t hash = path.rfind('#'); hash != std::string::npos) {
        file = path.substr(0, hash);
        anchor = path.substr(hash + 1);
    }
    const std::string resolved = ResolvePath(file);
    if (!FileExists(resolved))
        throw EStreamError("Cannot open file \"" + file + "\".");
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

void THtmlView::Show(std::string source, const std::string& anchor) {
    if (OnParseBegin)
        OnParseBegin(source);
    FSource = std::move(source);
    QFont font = document()->defaultFont();
    font.setPointSize(FFontSize);
    document()->setDefaultFont(font);
    setHtml(ForQt(Decode(FSource)));
    // setHtml drops the base URL: put it back so pictures and links resolve against it.
    document()->setBaseUrl(QUrl::fromLocalFile(FromUtf8(FBaseFolder)));
    if (anchor.empty())
        verticalScrollBar()->setValue(0);
    else
        scrollToAnchor(FromUtf8(anchor));
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
    FFontSize = points;
    QFont font = document()->defaultFont();
    font.setPointSize(points);
    document()->setDefaultFont(font);
}

int THtmlView::SelectionLength() const {
    return static_cast<int>(textCursor().selectedText().size());
}

void THtmlView::SelectAllText() {
    selectAll();
}

void THtmlView::CopySelection() {
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

int THtmlView::PrintedPageCount(QPrinter& printer) const {
    return LayOutForPrinting(*document(), printer)->pageCount();
}

void THtmlView::PrintPages(QPrinter& printer, int first, int last) const {
    const std::unique_ptr<QTextDocument> doc = LayOutForPrinting(*document(), printer);
    last = std::min(last, doc->pageCount());
    if (first < 1 || first > last)
        return;
    QPainter painter;
    if (!painter.begin(&printer))
        throw EStreamError("The printer cannot print.");
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
