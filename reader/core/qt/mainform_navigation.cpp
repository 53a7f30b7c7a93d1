// Getting around the main window as readers of offline books expect: its parts for the history
// of the pages shown, the find bar, the page's context menu, the print route and the keyboard
// are wired here, with stepping through the search hits and the text size by the keyboard, and
// the links of both views to files that are not pages.
#include "reader/core/qt/mainform.h"

#include "reader/core/ArticlePage.h"
#include "reader/core/qt/ErrorReport.h"
#include "reader/core/qt/FindBar.h"
#include "reader/core/qt/HtmlView.h"
#include "reader/core/qt/KeyMap.h"
#include "reader/core/qt/PageMenu.h"
#include "reader/core/qt/PrintRoute.h"
#include "reader/core/qt/ViewHistory.h"
#include "reader/search/qt/SearchUnit.h"

#include "common/FileSystem.h"
#include "common/qt/QtText.h"

#include <QListWidget>
#include <QSpinBox>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <algorithm>

namespace quarto {

void TForm1::CreateParts() {
    FHistory = std::make_unique<TViewHistory>(
        *HTMLViewer1, [this](const THistoryStep& step) { return ShowStepContent(step); },
        [this] { BringToFront(Panel6); });
    // The mouse's back and forward buttons over the page.
    HTMLViewer1->OnHistoryButton = [this](bool forward) {
        Guarded([&] { forward ? FHistory->Forward() : FHistory->Back(); });
    };
    FFindBar->OnShowText = [this] { BringToFront(Panel6); };
    FPrintRoute = std::make_unique<TPrintRoute>(this);
    FPageMenu = new TPageMenu(*HTMLViewer1, {[this] { SkinCopy(); }, [this] { FFindBar->Open(); },
                                             [this] { SkinPrint(); }});
    FKeyMap =
        std::make_unique<TKeyMap>(*this, std::vector<QWidget*>{fcTreeView2, ListBox3, ListBox4},
                                  [this](TKeyCommand command) { RunKeyCommand(command); });
    connect(FPreviousHit, &QToolButton::clicked, this,
            [this] { Guarded([&] { StepHit(false); }); });
    connect(FNextHit, &QToolButton::clicked, this, [this] { Guarded([&] { StepHit(true); }); });
}

void TForm1::RunKeyCommand(TKeyCommand command) {
    switch (command) {
    // The commands of the painted areas, through the same handlers.
    case TKeyCommand::Copy:
        SkinCopy();
        break;
    case TKeyCommand::Print:
        SkinPrint();
        break;
    case TKeyCommand::NextArticle:
        SkinNext();
        break;
    case TKeyCommand::PreviousArticle:
        SkinPrevious();
        break;
    case TKeyCommand::About:
        SkinAbout();
        break;
    case TKeyCommand::Exit:
        SkinExit();
        break;
    case TKeyCommand::LargerText:
        ChangeFontSize(2);
        break;
    case TKeyCommand::SmallerText:
        ChangeFontSize(-2);
        break;
    case TKeyCommand::TextSizeAtStart:
        ChangeFontSize(0);
        break;
    case TKeyCommand::Back:
        FHistory->Back();
        break;
    case TKeyCommand::Forward:
        FHistory->Forward();
        break;
    case TKeyCommand::Find:
        FFindBar->Open();
        break;
    case TKeyCommand::FindNext:
        FFindBar->Step(false);
        break;
    case TKeyCommand::FindPrevious:
        FFindBar->Step(true);
        break;
    case TKeyCommand::NextHit:
        StepHit(true);
        break;
    case TKeyCommand::PreviousHit:
        StepHit(false);
        break;
    case TKeyCommand::PlaySelected:
        PlaySelected();
        break;
    }
}

bool TForm1::ShowStepContent(const THistoryStep& step) {
    if (BookList.empty())
        return false;
    if (step.Kind == THistoryStep::TKind::Article) {
        if (!step.HighlightWords.empty()) {
            HighlightOn = true;
            HighlightWords = step.HighlightWords;
        }
        if (step.SetsCurrent)
            CurrentArticle = step.Article;
        OpenArticle(step.Article);
    } else if (step.Kind == THistoryStep::TKind::Text) {
        ShowTextFile(*HTMLViewer1, step.File);
    } else {
        ConfineViews();
        HTMLViewer1->LoadFromFile(step.File);
    }
    return true;
}

// Links to files that are not pages.

void TForm1::OpenFileLink(const std::string& target, THtmlView& view, bool& handled) {
    if (BookList.empty())
        return;
    const TPageLink link = ClassifyLink(target, Book(), view.BaseFolder());
    switch (link.Kind) {
    case TLinkKind::Picture:
    case TLinkKind::Video:
        OpenMediaLink(target, handled, view.BaseFolder());
        return;
    case TLinkKind::Sound:
        OpenSoundLink(link);
        break;
    case TLinkKind::Text:
        OpenTextLink(link, view);
        break;
    case TLinkKind::Program:
        if (const std::string path = LinkedFile(link); !path.empty())
            ShowMessageBox(Ui("Открытие файла"),
                           Ui("Файл «") + FromUtf8(FileNameOf(path)) +
                               Ui("» — программа. Программы из книги не запускаются."));
        break;
    case TLinkKind::DesktopFile:
        OpenDesktopFileLink(link);
        break;
    case TLinkKind::ReferencePage:
    case TLinkKind::PageAnchor:
    case TLinkKind::DesktopAddress:
    case TLinkKind::Other:
        return;
    }
    // Never loaded as a page, whether it was opened or not.
    handled = true;
}

std::string TForm1::LinkedFile(const TPageLink& link) {
    if (link.Path.empty())
        return {};
    const std::string path = ResolvePath(link.Path);
    if (!FileExists(path) || !LiesInside(path, ConfineViews()))
        return {};
    return path;
}

void TForm1::OpenTextLink(const TPageLink& link, THtmlView& view) {
    const std::string path = LinkedFile(link);
    if (path.empty())
        return;
    if (&view != HTMLViewer1) {
        ShowTextFile(view, path);
        return;
    }
    FHistory->KeepScroll();
    ShowTextFile(view, path);
    FHistory->Visited(THistoryStep::OfText(path));
}

void TForm1::ShowTextFile(THtmlView& view, const std::string& path) {
    const std::string bytes = ReadWholeFile(path);
    const std::string folder = ParentOf(path);
    const TComposedPage page = ComposeTextFilePage(
        AppFolder, bytes, JoinPath(FileSystem().AbsolutePath(folder.empty() ? "." : folder), ""));
    ConfineViews();
    view.SetBaseFolder(page.BaseFolder);
    view.LoadFromBytes(page.Source);
}

void TForm1::OpenDesktopFileLink(const TPageLink& link) {
    const std::string path = LinkedFile(link);
    if (path.empty())
        return;
    const QString caption = Ui("Открытие файла");
    const QString name = Ui("«") + FromUtf8(FileNameOf(path)) + Ui("»");
    if (!AskQuestion(caption, Ui("Файл ") + name +
                                  Ui(" нельзя показать в книге.\nОткрыть его программой, "
                                     "которая назначена в системе для таких файлов?"))) {
        ShowMessageBox(caption, Ui("Файл ") + name + Ui(" не открыт."), QMessageBox::Information);
        return;
    }
    if (!OpenWithDesktop || !OpenWithDesktop(path))
        ShowMessageBox(caption, Ui("Не удалось открыть файл ") + name +
                                    Ui(": в системе нет программы для файлов такого вида."));
}

// Search hits.

void TForm1::StepHit(bool forward) {
    QTreeWidgetItem* current = fcTreeView1->currentItem();
    if (!current && !forward)
        return; // before the first hit: nothing before it
    QTreeWidgetItem* chosen = nullptr;
    bool passed = current == nullptr;
    for (QTreeWidgetItemIterator it(fcTreeView1); *it; ++it) {
        QTreeWidgetItem* item = *it;
        if (item == current) {
            passed = true;
            if (!forward)
                break;
            continue;
        }
        const bool hit = item->parent() && item->data(0, ResultHitRole).toBool() &&
                         (item->childCount() == 0 || item->parent()->parent());
        if (!hit)
            continue;
        if (forward && passed) {
            chosen = item;
            break;
        }
        if (!forward)
            chosen = item; // the last hit before the current one
    }
    if (!chosen)
        return; // no hit beyond this one: it stays
    for (QTreeWidgetItem* p = chosen->parent(); p; p = p->parent())
        p->setExpanded(true);
    fcTreeView1->setCurrentItem(chosen);
    fcTreeView1->scrollToItem(chosen);
    fcTreeView1DblClick(chosen);
}

// The keyboard's text size.

void TForm1::ChangeFontSize(int delta) {
    const int size =
        delta == 0 ? FlatSpinEditInteger1->minimum() : FlatSpinEditInteger1->value() + delta;
    FlatSpinEditInteger1->setValue(
        std::clamp(size, FlatSpinEditInteger1->minimum(), FlatSpinEditInteger1->maximum()));
}

} // namespace quarto
