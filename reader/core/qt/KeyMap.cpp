#include "reader/core/qt/KeyMap.h"

#include "reader/core/qt/ErrorReport.h"

#include <QShortcut>
#include <QWidget>

namespace quarto {

const std::vector<TKeyBinding>& KeyTable() {
    static const std::vector<TKeyBinding> table = {
        // The commands of the painted areas.
        {QKeySequence(QKeySequence::Copy), TKeyCommand::Copy},
        {QKeySequence(QKeySequence::Print), TKeyCommand::Print},
        {QKeySequence(Qt::CTRL | Qt::Key_Right), TKeyCommand::NextArticle},
        {QKeySequence(Qt::CTRL | Qt::Key_Left), TKeyCommand::PreviousArticle},
        {QKeySequence(Qt::Key_F1), TKeyCommand::About},
        {QKeySequence(Qt::CTRL | Qt::Key_Q), TKeyCommand::Exit},
        // The font panel's size.
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), TKeyCommand::LargerText},
        {QKeySequence(Qt::CTRL | Qt::Key_Equal), TKeyCommand::LargerText},
        {QKeySequence(Qt::CTRL | Qt::Key_Minus), TKeyCommand::SmallerText},
        {QKeySequence(Qt::CTRL | Qt::Key_0), TKeyCommand::TextSizeAtStart},
        // History, find and the hits.
        {QKeySequence(Qt::ALT | Qt::Key_Left), TKeyCommand::Back},
        {QKeySequence(Qt::ALT | Qt::Key_Right), TKeyCommand::Forward},
        {QKeySequence(QKeySequence::Find), TKeyCommand::Find},
        {QKeySequence(Qt::Key_F3), TKeyCommand::FindNext},
        {QKeySequence(Qt::SHIFT | Qt::Key_F3), TKeyCommand::FindPrevious},
        {QKeySequence(Qt::CTRL | Qt::Key_Down), TKeyCommand::NextHit},
        {QKeySequence(Qt::CTRL | Qt::Key_Up), TKeyCommand::PreviousHit},
        // The lists of what plays: Enter on the main keys and on the keypad.
        {QKeySequence(Qt::Key_Return), TKeyCommand::PlaySelected, TKeyPlace::PlayList},
        {QKeySequence(Qt::Key_Enter), TKeyCommand::PlaySelected, TKeyPlace::PlayList},
    };
    return table;
}

TKeyMap::TKeyMap(QWidget& window, const std::vector<QWidget*>& playLists,
                 std::function<void(TKeyCommand)> run) {
    const auto bind = [&](const TKeyBinding& binding, QWidget& owner, Qt::ShortcutContext context) {
        auto* shortcut = new QShortcut(binding.Keys, &owner);
        shortcut->setContext(context);
        QObject::connect(shortcut, &QShortcut::activated, &owner,
                         [run, command = binding.Command] { Guarded([&] { run(command); }); });
    };
    for (const TKeyBinding& binding : KeyTable()) {
        if (binding.Place == TKeyPlace::Window)
            bind(binding, window, Qt::WindowShortcut);
        else
            for (QWidget* list : playLists)
                bind(binding, *list, Qt::WidgetShortcut);
    }
}

} // namespace quarto
