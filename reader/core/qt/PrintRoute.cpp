#include "reader/core/qt/PrintRoute.h"

#include "common/ByteStream.h"
#include "common/FileSystem.h"
#include "common/qt/QtText.h"
#include "reader/core/qt/ErrorReport.h"
#include "reader/core/qt/HtmlView.h"

#include <QDir>
#include <QFileDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

namespace quarto {

namespace {

const char* const NoPrinterQuestion =
    "Принтер не найден: в системе не настроен ни один принтер.\n\n"
    "Сохранить страницу в файл PDF?";

} // namespace

TPrintRoute::TPrintRoute(QWidget* dialogParent) {
    MakePrinter = []() -> std::unique_ptr<QPrinter> {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull())
            return nullptr;
        return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    };
    AskPdfFileName = [dialogParent] {
        // Starts in the user's documents, never in the folder the reader was started from.
        QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (folder.isEmpty() || !FolderExists(ToUtf8(folder)))
            folder = QDir::homePath();
        return QFileDialog::getSaveFileName(dialogParent, Ui("Сохранить страницу в PDF"),
                                            QDir(folder).filePath(Ui("Страница.pdf")),
                                            Ui("Документы PDF (*.pdf)"));
    };
}

void TPrintRoute::Print(THtmlView& view) {
    const std::unique_ptr<QPrinter> printer = MakePrinter();
    if (!printer) {
        SaveAsPdf(view);
        return;
    }
    const int pages = view.PrintedPageCount(*printer);
    view.PrintPages(*printer, 1, pages);
}

void TPrintRoute::SaveAsPdf(THtmlView& view) {
    if (!AskQuestion(Ui("Печать"), Ui(NoPrinterQuestion)))
        return;
    QString name = AskPdfFileName();
    if (name.isEmpty())
        return;
    if (!name.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        name += QStringLiteral(".pdf");
    // Laid out as the printer would have it: the view's own pages, 2 cm margins.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(name);
    try {
        const int pages = view.PrintedPageCount(printer);
        view.PrintPages(printer, 1, pages);
    } catch (const EStreamError&) {
        // The file cannot be written (a folder that is not there, no rights).
        ShowMessageBox(Ui("Печать"), Ui("Не удалось сохранить страницу в файл\n") +
                                         QDir::toNativeSeparators(name));
    }
}

} // namespace quarto
