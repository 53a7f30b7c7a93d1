// The reader's HTML view: the text view of the main window (HTMLViewer1) and of the reference
// window (WB1). It renders the markup of the edition pages and what the reader writes itself,
// raises a parse-begin event before every page is parsed (the handler may rewrite the source)
// and a link-click event with the target exactly as written in the page, following the link
// itself only when the handler leaves it unhandled.
#pragma once

#include "reader/core/HtmlPieces.h"

#include <QTextBrowser>

#include <functional>
#include <string>
#include <vector>

class QPrinter;

namespace quarto {

class THtmlView : public QTextBrowser {
    Q_OBJECT
public:
    explicit THtmlView(QWidget* parent = nullptr);

    // Raised on every load, before parsing, with the page source as bytes in the page's own
    // charset (the one its head declares, code page 1251 when none is declared).
    std::function<void(std::string& source)> OnParseBegin;
    // Raised when the user clicks a link: the target as written in the page (UTF-8, as file
    // names are on this system); handled is false on entry; when the handler leaves it false
    // the view follows the link itself. What the handler lets through goes to the general error
    // report, and the link is not followed.
    std::function<void(const std::string& target, bool& handled)> OnHotSpotClick;
    // The mouse's back (false) or forward (true) button pressed over the page.
    std::function<void(bool forward)> OnHistoryButton;

    // Loads a file; a suffix "#name" selects that anchor. The path is looked up ignoring
    // letter case. Throws EStreamError when the file cannot be read; the view then keeps its
    // page.
    void LoadFromFile(const std::string& path);
    // Loads a whole page given as bytes (a composed article page).
    void LoadFromBytes(const std::string& page);
    // Loads a page source again (a reload, e.g. after the font size changed).
    void LoadFromText(const std::string& source);
    // Base folder against which relative pictures and links resolve (ends with a separator).
    void SetBaseFolder(const std::string& folder);
    const std::string& BaseFolder() const { return FBaseFolder; }
    // The folders the view's own following of links may lead into (the edition's and the
    // reader's); a link to a file anywhere else is not followed, and nothing happens. None at
    // start: until they are given, the view follows no link to a file.
    void SetAllowedFolders(std::vector<std::string> folders) {
        FAllowedFolders = std::move(folders);
    }
    const std::vector<std::string>& AllowedFolders() const { return FAllowedFolders; }
    // The source of the page shown, after the parse-begin rewriting.
    const std::string& DocumentSource() const { return FSource; }

    // A large page is shown in two steps: its beginning at once, so that its first screen
    // appears without waiting for the rest, and the rest at the next turn of the event loop
    // (or when FinishLoading is called), imported in pieces. Loading is true in between.
    bool Loading() const { return !FPending.empty(); }
    // Shows the whole of a page of which only the beginning is shown; nothing otherwise.
    void FinishLoading();

    // Default font size in points of the pages shown afterwards (12 at start).
    void SetDefaultFontSize(int points);
    int DefaultFontSize() const { return FFontSize; }

    int SelectionLength() const;
    void SelectAllText();
    void CopySelection();

    // Pages the current page prints on, with 2 cm margins at scale 1.0.
    int PrintedPageCount(QPrinter& printer);
    // Prints pages first..last (1-based) of the current page.
    void PrintPages(QPrinter& printer, int first, int last);

    // Pictures and pages the view loads itself, resolved against the base folder ignoring
    // letter case and decoded by their declared charset.
    QVariant loadResource(int type, const QUrl& name) override;

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Show(std::string source, const std::string& anchor);
    // A link clicked or activated: the link-click event, then the link followed when the
    // handler leaves it unhandled.
    void LinkClicked(const QUrl& url);
    QVariant Resource(int type, const QUrl& name);
    void SetDocumentHtml(const QString& html);
    void FollowLink(const std::string& target);

    std::string FSource;
    std::string FBaseFolder;
    std::vector<std::string> FAllowedFolders;
    // The whole page (prepared for Qt, in the page's charset) and its pieces, while only its
    // beginning is shown; which load it belongs to.
    std::string FPending;
    bool FPendingUtf8 = false;
    std::vector<THtmlPiece> FPieces;
    unsigned FLoadNumber = 0;
    int FFontSize = 12;
    QPoint FPressPos;
    QPoint FReleasePos;
};

} // namespace quarto
