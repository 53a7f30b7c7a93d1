#include "HtmlPieceImport.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

namespace quarto {

void AppendHtmlPiece(QTextDocument& doc, const QString& markup, THtmlPiece::TKind kind) {
    QTextDocument part;
    part.setDefaultStyleSheet(doc.defaultStyleSheet());
    part.setHtml(markup);
    if (part.isEmpty())
        return;
    QTextCursor cursor(&doc);
    cursor.movePosition(QTextCursor::End);
    if (kind == THtmlPiece::Text) {
        cursor.insertFragment(QTextDocumentFragment(&part));
        return;
    }
    // The piece's first block keeps the format it has in the piece: it goes into a block of
    // that format at the end of the document (the empty last block a line end in preformatted
    // text leaves there, or a new one), since a fragment's first block takes the format of the
    // block it is inserted in.
    const QTextBlock first = part.begin();
    QTextBlockFormat format = first.blockFormat();
    if (kind == THtmlPiece::Preformatted)
        format.setTopMargin(0); // the block goes on
    if (cursor.block().length() > 1) {
        cursor.insertBlock(format, first.charFormat());
    } else {
        cursor.setBlockFormat(format);
        cursor.setBlockCharFormat(first.charFormat());
    }
    cursor.insertFragment(QTextDocumentFragment(&part));
}

} // namespace quarto
