// Importing a large page into a text document in the pieces SplitHtml cuts it into.
#pragma once

#include "reader/core/HtmlPieces.h"

#include <QString>

class QTextDocument;

namespace quarto {

// Appends a piece other than the first, given as its decoded markup, to the end of doc, which
// holds the pieces before it.
void AppendHtmlPiece(QTextDocument& doc, const QString& markup, THtmlPiece::TKind kind);

} // namespace quarto
