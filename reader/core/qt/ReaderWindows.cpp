#include "ReaderWindows.h"

#include "ErrorReport.h"
#include "mainform.h"
#include "refs_unit.h"

#include "common/EditionLayout.h"
#include "common/FileSystem.h"
#include "common/qt/QtText.h"
#include "reader/media/qt/PreviewUnit.h"
#include "reader/media/qt/Unit3.h"
#include "reader/media/qt/insertUnit.h"
#include "reader/search/qt/SearchUnit.h"
#include "reader/search/qt/search_wait.h"

#include <QDir>

#include <memory>

namespace quarto {

namespace {

// Owners of the windows; the globals point at them.
struct TWindows {
    std::unique_ptr<TForm1> Form1;
    std::unique_ptr<TSearchForm> SearchForm;
    std::unique_ptr<TPreviewForm> PreviewForm;
    std::unique_ptr<TinsertForm> insertForm;
    std::unique_ptr<TForm2> Form2;
    std::unique_ptr<TRefs> Refs;
    std::unique_ptr<TForm3> Form3;
};
TWindows Windows;

template <class T> T* Create(std::unique_ptr<T>& owner, T*& global, auto&&... args) {
    owner = std::make_unique<T>(args...);
    global = owner.get();
    return global;
}

template <class T> void Destroy(std::unique_ptr<T>& owner, T*& global) {
    global = nullptr;
    owner.reset();
}

} // namespace

void CreateReaderWindows(const std::string& appFolder, const std::vector<std::string>& arguments) {
    Create(Windows.Form1, Form1, appFolder, arguments);
    Create(Windows.SearchForm, SearchForm);
    Create(Windows.PreviewForm, PreviewForm);
    // The viewer steps through the main window's title list.
    PreviewForm->SetCatalogue(Form1->ListBox2, [] { Guarded([] { Form1->ListBox2Click(); }); });
    Create(Windows.insertForm, insertForm);
    Create(Windows.Form2, Form2);
    Create(Windows.Refs, Refs);
    Create(Windows.Form3, Form3);
}

void DestroyReaderWindows() {
    Destroy(Windows.Form3, Form3);
    Destroy(Windows.Refs, Refs);
    Destroy(Windows.Form2, Form2);
    Destroy(Windows.insertForm, insertForm);
    Destroy(Windows.PreviewForm, PreviewForm);
    Destroy(Windows.SearchForm, SearchForm);
    Destroy(Windows.Form1, Form1);
}

QString NoEditionsText(const std::string& appFolder) {
    const QString books = QDir::toNativeSeparators(FromUtf8(BooksFolderOf(appFolder)));
    return Ui("Не найдено ни одной книги.\n\n"
              "Программа ищет книги в папке «Books» рядом с собой:\n%1\n\n"
              "Каждая книга — отдельная папка в ней с файлами «setup.inf» и "
              "«cContents.dat». Установите книги с диска программой установки "
              "и запустите программу снова.")
        .arg(books);
}

} // namespace quarto
