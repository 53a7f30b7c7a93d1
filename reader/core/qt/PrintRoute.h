// The print command's route: the page goes to the printer, or, when the system has none, the
// reader offers to save it as a PDF file laid out as it would print (2 cm margins).
#pragma once

#include <QString>

#include <functional>
#include <memory>

class QPrinter;
class QWidget;

namespace quarto {

class THtmlView;

class TPrintRoute {
public:
    // dialogParent: the window the save dialog belongs to.
    explicit TPrintRoute(QWidget* dialogParent);

    // Prints all pages of view, or without a printer asks, then saves them as a PDF file
    // (".pdf" added to a name without it); a file that cannot be written is reported.
    void Print(THtmlView& view);

    // The printer used; by default the system's default printer, or null when there is none.
    std::function<std::unique_ptr<QPrinter>()> MakePrinter;
    // The file the page is saved to as PDF; empty when the user cancels. By default the
    // system's save dialog, starting in the user's documents.
    std::function<QString()> AskPdfFileName;

private:
    void SaveAsPdf(THtmlView& view);
};

} // namespace quarto
