#include "reader/core/qt/PageMenu.h"

#include "common/qt/QtText.h"
#include "reader/core/qt/ErrorReport.h"
#include "reader/core/qt/HtmlView.h"

#include <QAction>
#include <QMenu>

namespace quarto {

TPageMenu::TPageMenu(THtmlView& view, TCommands commands)
    : QObject(&view), FView(view), FCommands(std::move(commands)) {
    view.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&view, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { Guarded([&] { Show(at); }); });
}

void TPageMenu::Show(const QPoint& at) {
    QMenu menu(FView.window());
    menu.setObjectName("PageMenu");
    QAction* copy = menu.addAction(Ui("Копировать"), [this] { Guarded(FCommands.Copy); });
    copy->setShortcut(QKeySequence::Copy);
    QAction* all =
        menu.addAction(Ui("Выделить всё"), [this] { Guarded([&] { FView.SelectAllText(); }); });
    all->setShortcut(QKeySequence::SelectAll);
    QAction* find = menu.addAction(Ui("Найти на странице…"), [this] { Guarded(FCommands.Find); });
    find->setShortcut(QKeySequence::Find);
    menu.addSeparator();
    QAction* print = menu.addAction(Ui("Печать…"), [this] { Guarded(FCommands.Print); });
    print->setShortcut(QKeySequence::Print);
    if (Hook) {
        Hook(menu);
        return;
    }
    menu.exec(FView.viewport()->mapToGlobal(at));
}

} // namespace quarto
