// The main window's page "Иллюстрации": the title tree and the hidden title list filled from the
// edition's catalogue, the thumbnail grid in the right column, the opening of a picture from
// either, the disc lookup and prompt, and the picture links of the pages (the clip links are in
// mainform_media.cpp).
#include "mainform.h"

#include "ErrorReport.h"
#include "HtmlView.h"
#include "reader/core/PageLinks.h"

#include "common/Cp1251.h"
#include "common/EditionLayout.h"
#include "common/FileSystem.h"
#include "common/qt/QtText.h"
#include "platform/DiscLookup.h"
#include "reader/media/qt/PreviewUnit.h"
#include "reader/media/qt/ThumbGrid.h"
#include "reader/media/qt/insertUnit.h"

#include <QListWidget>
#include <QTreeWidget>

namespace quarto {

namespace {

// Catalogue texts are code page 1251, as the files hold them.
QString Shown(const std::string& text) {
    return From1251(text);
}

// The title of the entry a thumbnail cell stands for; empty for none.
QString TitleOfCell(const TIllustrations& catalogue, int cell) {
    const int entry = EntryOfCell(catalogue, cell);
    return entry < 0 ? QString()
                     : Shown(catalogue.PicInfo[static_cast<std::size_t>(entry)].PicTitle);
}

} // namespace

void TForm1::LoadIllustrations() {
    ListBox2->clear();
    Illustrations = TIllustrations();
    TitleTree->setUpdatesEnabled(false);
    TitleTree->clear();
    TitleTree->setUpdatesEnabled(true);
    const std::string bookFolder = Book().BookFolder;
    TIllustrations catalogue = ReadIllustrations(bookFolder);
    TitleTree->setUpdatesEnabled(false);
    ListBox2->setUpdatesEnabled(false);
    for (std::size_t h = 0; h < catalogue.Headings.size(); ++h) {
        auto* heading = new QTreeWidgetItem(TitleTree, {Shown(catalogue.Headings[h])});
        for (const int entry : catalogue.EntriesOfHeading(static_cast<int>(h) + 1)) {
            auto* node = new QTreeWidgetItem(
                heading, {Shown(catalogue.PicInfo[static_cast<std::size_t>(entry)].PicTitle)});
            node->setData(0, Qt::UserRole, entry);
        }
    }
    for (std::size_t i = 0; i < catalogue.PicInfo.size(); ++i) {
        auto* item = new QListWidgetItem(Shown(catalogue.PicInfo[i].PicTitle), ListBox2);
        item->setData(Qt::UserRole, static_cast<int>(i));
    }
    ListBox2->setUpdatesEnabled(true);
    TitleTree->setUpdatesEnabled(true);
    Illustrations = std::move(catalogue);
    CreateGrid();
    // A catalogue without its separator line loads without titles; say which file it is.
    for (const std::string& problem : Illustrations.Problems)
        if (Illustrations.Headings.empty() && Illustrations.PicInfo.empty()) {
            ShowMessageBox(Ui("Ошибка!"), WithFileNames(FromUtf8(problem)));
            break;
        }
}

void TForm1::CreateGrid() {
    ThumbGrid = CreateThumbGrid(Panel8);
    ThumbGrid->OnHover = [this](int cell) { Guarded([&] { ThumbGridMouseMove(cell); }); };
    ThumbGrid->OnPress = [this](int cell) { Guarded([&] { ThumbGridMouseDown(cell); }); };
    ThumbGrid->TitleOf = [this](int cell) { return TitleOfCell(Illustrations, cell); };
    FGridFailure.clear();
    try {
        ThumbGrid->Load(AppFolder, Book().BookFolder);
    } catch (const std::exception& e) {
        FGridFailure = e.what();
        ReportFileError(e);
    }
}

void TForm1::ReloadGrid(bool quiet) {
    if (BookList.empty() || !Book().Pictures || !ThumbGrid)
        return;
    try {
        ThumbGrid->ReloadGrid();
        FGridFailure.clear();
    } catch (const std::exception& e) {
        // Reported once, and never from a repaint: a box there would paint again and again.
        const std::string failure = e.what();
        if (!quiet && failure != FGridFailure) {
            FGridFailure = failure;
            ReportFileError(e);
        }
    }
}

void TForm1::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    ReloadGrid(true);
}

void TForm1::ThumbGridMouseMove(int cell) {
    // The window has no title bar: the title shows as the grid's tool tip too.
    setWindowTitle(TitleOfCell(Illustrations, cell));
}

void TForm1::ThumbGridMouseDown(int cell) {
    // A cell whose line lies outside "files.txt" stands for no picture.
    const int line = PictureLineOfCell(Illustrations, cell);
    if (line < 0)
        return;
    const int entry =
        FindEntryByFile(Illustrations, Illustrations.PictureFiles[static_cast<std::size_t>(line)]);
    QString title;
    QString text;
    if (entry >= 0) {
        ListBox2->setCurrentRow(entry);
        const TPicTextInf& info = Illustrations.PicInfo[static_cast<std::size_t>(entry)];
        title = Shown(info.PicTitle);
        text = Shown(info.PicText);
    }
    setWindowTitle(title);
    PreviewForm->setWindowTitle(title);
    PreviewForm->SetDescription(text);
    if (ShowPicture(line))
        PreviewForm->ShowCatalogue();
}

void TForm1::TitleTreeDblClick(QTreeWidgetItem* node) {
    if (!node || !node->parent())
        return; // a heading
    const int entry = node->data(0, Qt::UserRole).toInt();
    if (EntryHasPictureLine(Illustrations, entry)) {
        ListBox2->setCurrentRow(entry);
        if (ShowPicture(entry)) {
            PreviewForm->SetDescription(
                Shown(Illustrations.PicInfo[static_cast<std::size_t>(entry)].PicText));
            PreviewForm->ShowCatalogue();
        }
    }
    setWindowTitle(node->text(0));
    PreviewForm->setWindowTitle(node->text(0));
}

void TForm1::ListBox2Click() {
    const QListWidgetItem* item = ListBox2->currentItem();
    if (!item)
        return;
    const int entry = item->data(Qt::UserRole).toInt();
    if (ShowPicture(entry) && entry < static_cast<int>(Illustrations.PicInfo.size()))
        PreviewForm->setWindowTitle(
            Shown(Illustrations.PicInfo[static_cast<std::size_t>(entry)].PicTitle));
}

bool TForm1::ShowPicture(int k) {
    if (k < 0 || k >= static_cast<int>(Illustrations.PictureFiles.size()))
        return false;
    // File names on this system are UTF-8; the catalogue's are code page 1251.
    const std::string name = Cp1251ToUtf8(PictureNameOfEntry(Illustrations, k));
    const std::string folder = Cp1251ToUtf8(EditionPicturesName(Book().RegKey));
    std::string path = FindOnDisc(folder, name);
    if (path.empty()) {
        insertForm->DiscTitle = Cp1251ToUtf8(Book().DisplayName);
        insertForm->DiscFile = name;
        insertForm->DiscFolder = folder;
        insertForm->Lookup = [this](const std::string& f, const std::string& n) {
            return FindOnDisc(f, n);
        };
        if (insertForm->exec() != QDialog::Accepted)
            return false;
        path = FindOnDisc(folder, name);
    }
    const QString text = k < static_cast<int>(Illustrations.PicInfo.size())
                             ? Shown(Illustrations.PicInfo[static_cast<std::size_t>(k)].PicText)
                             : QString();
    PreviewForm->SetDescription(text);
    if (path.empty())
        return false;
    PreviewForm->OpenPicture(path); // one that does not decode: the viewer says so
    return true;
}

std::string TForm1::FindOnDisc(const std::string& folder, const std::string& name) {
    return ::quarto::FindOnDisc(AppFolder, folder, name, *DiscDrives);
}

void TForm1::OpenMediaLink(const std::string& target, bool& handled,
                           const std::string& pageFolder) {
    const TPageLink link = ClassifyLink(target, Book(), pageFolder);
    if (link.Kind == TLinkKind::Video) {
        OpenVideoLink(link, handled);
        return;
    }
    if (link.Kind != TLinkKind::Picture)
        return; // the rest stays with the view
    // First where the page puts it, inside the edition's folder; then beside the reader and on
    // the discs, by its name.
    std::string path;
    const std::string placed = ResolvePath(link.Path);
    if (FileExists(placed) && LiesInside(placed, {Book().BookFolder}))
        path = placed;
    else
        path = FindOnDisc(Cp1251ToUtf8(link.DiscFolder), link.Name);
    handled = true;
    if (!path.empty())
        PreviewForm->ShowSingle(path);
}

} // namespace quarto
