#include "SearchUnit.h"

#include "search_wait.h"

#include "common/AsciiText.h"
#include "common/qt/QtText.h"
#include "reader/core/qt/ErrorReport.h"
#include "reader/core/qt/mainform.h"
#include "reader/search/SearchQuery.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QTreeWidget>

#include <algorithm>

namespace quarto {

TSearchForm* SearchForm = nullptr;

namespace {

// The progress window is up from the start of a search to its end, whichever way it ends.
class TProgressWindow {
public:
    TProgressWindow() {
        if (Form2)
            Form2->show();
    }
    ~TProgressWindow() { Hide(); }
    TProgressWindow(const TProgressWindow&) = delete;
    TProgressWindow& operator=(const TProgressWindow&) = delete;
    void Hide() {
        if (Form2)
            Form2->hide();
    }
};

} // namespace

TSearchForm::TSearchForm(QWidget* parent) : QWidget(parent) {
    setObjectName("SearchForm");
    setWindowTitle(Ui("Поиск"));
}

TSearchForm::~TSearchForm() {
    if (SearchForm == this)
        SearchForm = nullptr;
}

void TSearchForm::RunSearch() {
    TProgressWindow progress;
    QueryText = NormalizeQuery(QueryText);
    // Without the characters of codes 0 to 32 at both ends.
    if (TrimmedBy(QueryText, IsBlankOrControl).size() <= 2)
        return;
    ClearResults();
    // Once, so that the progress window is painted; the search itself blocks the interface.
    QCoreApplication::processEvents();
    if (!Form1 || Form1->BookList.empty())
        return;
    // The edition's index stays loaded between searches; it is read again when its files
    // change.
    if (!Vocabulary || Vocabulary->BookFolder() != Form1->Book().BookFolder)
        Vocabulary = std::make_unique<TSearchIndex>(Form1->Book().BookFolder);
    Vocabulary->LoadVocabulary();
    const bool found = BuildResultTree();
    progress.Hide();
    if (found && HitsRoot) {
        QTreeWidget* view = Form1->fcTreeView1;
        view->collapseAll();
        HitsRoot->setExpanded(true);
        view->viewport()->update();
    }
}

bool TSearchForm::BuildResultTree() {
    HitList = EvaluateQuery(*Vocabulary, QueryText, Form1->CheckBox1->isChecked(),
                            static_cast<std::int32_t>(Form1->ContentsList.size()));
    QTreeWidget* view = Form1->fcTreeView1;
    view->clear();
    HitsRoot = nullptr;
    TResultTree tree = ::quarto::BuildResultTree(Form1->ContentsList, Form1->ContentsTree, HitList);
    HitTitles = std::move(tree.HitTitles);
    ResultNodes = std::move(tree.Nodes);

    std::vector<std::int32_t> listed;
    for (const auto& [title, article] : HitTitles)
        listed.push_back(article);
    std::sort(listed.begin(), listed.end());
    std::vector<TTreeRow> rows;
    rows.reserve(ResultNodes.size());
    for (const TResultNode& node : ResultNodes) {
        TTreeRow& row = rows.emplace_back();
        row.Parent = node.Parent;
        row.Text = node.Text;
        if (node.Parent >= 0) { // the root carries nothing but its text
            row.Article = node.Article;
            row.Hit = std::binary_search(listed.begin(), listed.end(), node.Article);
        }
    }
    const std::vector<QTreeWidgetItem*> items = FillTree(*view, rows);
    if (!items.empty())
        HitsRoot = items.front();
    if (HitTitles.empty())
        ShowMessageBox(Ui("Поиск"), Ui("Ничего не найдено."), QMessageBox::NoIcon);
    return !HitList.empty();
}

void TSearchForm::ClearResults() {
    if (Form1)
        Form1->fcTreeView1->clear();
    HitsRoot = nullptr;
    HitList.clear();
    HitTitles.clear();
    ResultNodes.clear();
}

} // namespace quarto
