// The reader's windows over a reader folder the test writes: editions made with make-edition,
// message boxes and the end of the program caught instead of shown.
#pragma once

#include "EditionFixture.h"

#include "reader/core/qt/ErrorReport.h"
#include "reader/core/qt/HtmlView.h"
#include "reader/core/qt/ReaderWindows.h"
#include "reader/core/qt/mainform.h"
#include "reader/core/qt/refs_unit.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QtTest/QTest>

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quarto::test {

struct TMessage {
    QString Caption;
    QString Text;
};

// An edition with two sections, a top entry without children, HTML and plain-text articles,
// an about page and reference pages.
inline TFiles SampleEdition(const std::string& key, const std::string& options = "",
                            const std::string& name = "Книга") {
    const std::string longText = [] {
        std::string s;
        for (int i = 0; i < 60; ++i)
            s += "<P>Строка пояснения номер " + std::to_string(i) + ".\n";
        return s;
    }();
    std::string notes = "<HTML><HEAD><META http-equiv=\"Content-Type\" content=\"text/html; "
                        "charset=windows-1251\"></HEAD><BODY>";
    for (int i = 1; i <= 9; ++i)
        notes += "<P><A NAME=\"note" + std::to_string(i) + "\"></A>Сноска " + std::to_string(i) +
                 "\n" + longText;
    notes += "</BODY></HTML>";
    return {
        {"edition.ini",
         "[Main]\nTitle=" + name + "\nTitle2=Часть\nRegKey=" + key + "\n[Options]\n" + options},
        {"contents.txt", "0 - Раздел первый\n"
                         "1 a1.htm Звёзды\n"
                         "2 a2.txt Созвездия\n"
                         "1 a3.htm Луна\n"
                         "0 - Раздел второй\n"
                         "1 b1.htm Планеты\n"
                         "0 c1.htm Послесловие\n"},
        {"texts/a1.htm", "<P>Звезда светит ярко. <A HREF=\"notes.htm#note5\">сноска</A> "
                         "<A HREF=\"my%20notes.htm\">мои</A> <A HREF=\"NOTES.HTM\">большие</A> "
                         "<A HREF=\"missing.htm\">нет</A>"},
        {"texts/a2.txt", "Созвездие Лебедя\nи звезда Денеб"},
        {"texts/a3.htm", "<P>Луна и звезды." + longText + longText},
        {"texts/b1.htm", "<P>Планеты " + key},
        {"texts/c1.htm", "<P>Послесловие"},
        {"Base/about.htm", "<HTML><HEAD><META http-equiv=\"Content-Type\" content=\"text/html; "
                           "charset=windows-1251\"></HEAD><BODY><P>О книге " +
                               key + " и её звездах</BODY></HTML>"},
        {"Base/notes.htm", notes},
        {"Base/my notes.htm", "<HTML><HEAD><META charset=\"windows-1251\"></HEAD><BODY><P>Мои "
                              "заметки</BODY></HTML>"},
    };
}

// The seven windows over a reader folder; destroyed when the test ends.
class TReader {
public:
    TAppFolder App;
    std::vector<TMessage> Messages;
    std::vector<TMessage> Questions; // asked with "Да" and "Нет"
    bool Answer = false;             // the answer to every question
    int EndCount = 0;

    TReader() {
        MessageBoxHook = [this](const QString& caption, const QString& text) {
            Messages.push_back({caption, text});
        };
        QuestionBoxHook = [this](const QString& caption, const QString& text) {
            Questions.push_back({caption, text});
            return Answer;
        };
    }
    ~TReader() {
        DestroyReaderWindows();
        MessageBoxHook = nullptr;
        QuestionBoxHook = nullptr;
    }
    TReader(const TReader&) = delete;
    TReader& operator=(const TReader&) = delete;

    std::string Add(const std::string& folder, const std::string& key,
                    const std::string& options = "", const std::string& name = "Книга") {
        return App.AddEdition(folder, SampleEdition(key, options, name));
    }
    void Start(const std::vector<std::string>& arguments = {}) {
        CreateReaderWindows(App.Folder(), arguments);
        Form1->EndProgram = [this] { ++EndCount; };
        if (!Form1->BookList.empty()) {
            Form1->show();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(Form1));
        }
    }

    template <class T> static T* Find(const char* name) {
        T* widget = Form1->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    static THtmlView* View() { return Find<THtmlView>("HTMLViewer1"); }
    static QString Page() { return View()->toPlainText(); }
    // The contents node whose text is given (UTF-8), or null.
    static QTreeWidgetItem* Node(const char* text) {
        for (QTreeWidgetItemIterator it(Find<QTreeWidget>("TreeView")); *it; ++it)
            if ((*it)->text(0) == QString::fromUtf8(text))
                return *it;
        return nullptr;
    }
    // Double-clicks a contents node with the mouse.
    static void DoubleClick(const char* text) {
        QTreeWidgetItem* node = Node(text);
        ASSERT_NE(node, nullptr) << text;
        auto* tree = Find<QTreeWidget>("TreeView");
        for (QTreeWidgetItem* p = node->parent(); p; p = p->parent())
            p->setExpanded(true);
        tree->scrollToItem(node);
        const QPoint at = tree->visualItemRect(node).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
    }
};

// Sends a mouse event to a widget at a point of it.
inline void SendMouse(QWidget* widget, QEvent::Type type, QPoint at,
                      Qt::MouseButton button = Qt::NoButton) {
    const Qt::MouseButtons buttons =
        type == QEvent::MouseButtonRelease || button == Qt::NoButton ? Qt::MouseButtons() : button;
    QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

} // namespace quarto::test
