#include "Unit1.h"

#include "common/Cp1251.h"
#include "common/qt/QtText.h"
#include "setup/CopyMachinery.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStackedLayout>
#include <QToolButton>
#include <QVBoxLayout>

namespace quarto::setup {

namespace {

bool EndsWithSeparator(const std::string& path) {
    return !path.empty() && (path.back() == '/' || path.back() == '\\');
}

#ifdef _WIN32
const char Separator = '\\';
const char* const MenuPlace = "\"Пуск->Программы->Электронные книги\"";
#else
const char Separator = '/';
const char* const MenuPlace = "\"Меню приложений->Электронные книги\"";
#endif

template <class W> W* Named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

TSetupServices SystemSetupServices() {
    return {MakeInstallRecord(), MakeFreeSpace(), MakeShortcuts(), MakeProgramStarter()};
}

std::string DefaultTargetFolder() {
#ifdef _WIN32
    return "C:\\Program Files\\Zelvane";
#else
    return ToUtf8(QDir::homePath()) + "/Zelvane";
#endif
}

std::string InstallFolderOf(const std::string& chosenFolder) {
    std::string folder = chosenFolder;
    if (!EndsWithSeparator(folder))
        folder += Separator;
    return folder + "Quarto" + Separator;
}

TForm1::TForm1(const std::string& sourceFolder, TSetupServices services)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      SourceFolder(sourceFolder), FServices(std::move(services)) {
    setObjectName("Form1");
    setWindowTitle(Ui("Электронные книги"));
    EndProgram = [] { QCoreApplication::exit(0); };
    ShowMessage = [this](const QString& caption, const QString& text) {
        QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, this);
        box.exec();
    };
    CreateComponents();
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::CreateComponents() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    auto* pages = new QWidget(this);
    FPages = new QStackedLayout(pages);
    layout->addWidget(pages);

    const auto newPage = [&](const char* name) {
        auto* page = Named(new QFrame(pages), name);
        FPages->addWidget(page);
        return page;
    };

    // The folder page.
    Panel2 = newPage("Panel2");
    auto* folder = new QVBoxLayout(Panel2);
    Label3 = Named(new QLabel(Ui("Выберите путь для установки:"), Panel2), "Label3");
    folder->addWidget(Label3);
    auto* row = new QHBoxLayout();
    DirectoryEdit1 =
        Named(new QLineEdit(FromUtf8(DefaultTargetFolder()), Panel2), "DirectoryEdit1");
    DirectoryButton = Named(new QToolButton(Panel2), "DirectoryButton");
    DirectoryButton->setText(Ui("…"));
    DirectoryButton->setToolTip(Ui("Выбрать папку"));
    row->addWidget(DirectoryEdit1, 1);
    row->addWidget(DirectoryButton);
    folder->addLayout(row);
    Label4 = Named(new QLabel(Panel2), "Label4");
    Label5 = Named(new QLabel(Ui("Требуется: "), Panel2), "Label5");
    folder->addWidget(Label4);
    folder->addWidget(Label5);
    folder->addStretch(1);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    Button3 = Named(new QPushButton(Ui("Далее"), Panel2), "Button3");
    Button3->setDefault(true);
    buttons->addWidget(Button3);
    folder->addLayout(buttons);

    // The progress page.
    Panel4 = newPage("Panel4");
    auto* progress = new QVBoxLayout(Panel4);
    Label8 = Named(new QLabel(Ui("Копируется:"), Panel4), "Label8");
    Label9 = Named(new QLabel(Panel4), "Label9");
    QFont bold = Label9->font();
    bold.setBold(true);
    Label9->setFont(bold);
    Label10 = Named(new QLabel(Panel4), "Label10");
    Label10->setTextFormat(Qt::PlainText);
    ProgressBar1 = Named(new QProgressBar(Panel4), "ProgressBar1");
    ProgressBar1->setRange(0, 1000);
    ProgressBar1->setTextVisible(true);
    progress->addWidget(Label8);
    progress->addWidget(Label9);
    progress->addWidget(Label10);
    progress->addSpacing(8);
    progress->addWidget(ProgressBar1);
    progress->addStretch(1);

    // The done page.
    Panel3 = newPage("Panel3");
    auto* done = new QVBoxLayout(Panel3);
    Label6 = Named(new QLabel(Panel3), "Label6");
    Label6->setWordWrap(true);
    done->addWidget(Label6);
    ListBox1 = Named(new QListWidget(Panel3), "ListBox1");
    ListBox1->hide();
    done->addWidget(ListBox1, 1);
    done->addStretch(0);
    CheckBox4 = Named(new QCheckBox(Ui("Запустить программу"), Panel3), "CheckBox4");
    CheckBox4->setChecked(true);
    done->addWidget(CheckBox4);
    auto* exit = new QHBoxLayout();
    exit->addStretch(1);
    Button1 = Named(new QPushButton(Ui("Выход"), Panel3), "Button1");
    exit->addWidget(Button1);
    done->addLayout(exit);

    FPages->setCurrentWidget(Panel2);
    setMinimumSize(480, 250);

    connect(DirectoryEdit1, &QLineEdit::textChanged, this, [this] { DirectoryEdit1Change(); });
    connect(DirectoryButton, &QToolButton::clicked, this, [this] {
        const QString start = DirectoryEdit1->text().isEmpty() ? FromUtf8(DefaultTargetFolder())
                                                               : DirectoryEdit1->text();
        const QString chosen =
            QFileDialog::getExistingDirectory(this, Ui("Выберите путь для установки"), start);
        if (!chosen.isEmpty())
            DirectoryEdit1->setText(QDir::toNativeSeparators(chosen));
    });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void TForm1::FormCreate() {
    InstallFolder = InstallFolderOf(DefaultTargetFolder());
    const TDiscDescriptor disc = ReadDiscDescriptor(SourceFolder);
    DiscSubVersion = disc.SubVersion;
    RequiredMB = disc.RequiredMB;
    DiscEditions = disc.Editions;

    int installedSubVersion = 0;
    if (const std::optional<TInstallRecordValues> record = FServices.Record->Read(InstallFolder)) {
        installedSubVersion = record->SubVersion;
        InstallFolder = record->Path;
        AlreadyInstalled = true;
    }
    NewerInstalled = DiscSubVersion < installedSubVersion;
    if (AlreadyInstalled && !InstallFolder.empty()) {
        {
            const QSignalBlocker blocker(DirectoryEdit1);
            DirectoryEdit1->setText(FromUtf8(InstallFolder));
        }
        DirectoryEdit1->setEnabled(false);
        DirectoryButton->setEnabled(false);
        Label3->setText(Ui("Одна из версий программы уже установлена"));
    } else {
        InstallFolder = InstallFolderOf(DefaultTargetFolder());
    }
    ShowFreeSpace();
    FLabel5Text = Label5->text();
    Label5->setText(FLabel5Text + QString::number(RequiredMB) + Ui(" Мб"));

    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TForm1::ShowFreeSpace() {
    Label4->setText(Ui("Свободного места на диске: ") +
                    QString::number(FServices.FreeSpace->FreeMegabytes(InstallFolder)) + Ui(" Мб"));
}

void TForm1::DirectoryEdit1Change() {
    if (AlreadyInstalled)
        return;
    InstallFolder = InstallFolderOf(ToUtf8(DirectoryEdit1->text()));
    ShowFreeSpace();
}

void TForm1::ShowPage(QFrame* page) {
    if (FPages->currentWidget() != page)
        FPages->setCurrentWidget(page);
}

QWidget* TForm1::CurrentPage() const {
    return FPages->currentWidget();
}

void TForm1::Button3Click() {
    if (FServices.FreeSpace->FreeMegabytes(InstallFolder) < RequiredMB) {
        ShowMessage(QString(), Ui("Недостаточно места на выбранном диске"));
        return;
    }
    Button3->setEnabled(false);
    MakeFolderChain(InstallFolder);

    std::vector<std::string> keys;
    for (const TDiscEdition& edition : DiscEditions)
        keys.push_back(Cp1251ToUtf8(edition.RegKey));
    TCopyRun run(SourceFolder, InstallFolder, NewerInstalled);
    run.OnGroup = [this](const std::string& group) {
        Label9->setText(FromUtf8(group));
        ShowPage(Panel4);
    };
    run.OnFileCopied = [this](const std::string& name) { Label10->setText(FromUtf8(name)); };
    run.OnPump = [] { QCoreApplication::processEvents(); };
    run.OnProgress = [this](std::int64_t done, std::int64_t total) {
        ProgressBar1->setValue(
            total > 0 ? static_cast<int>(std::min<std::int64_t>(done * 1000 / total, 1000)) : 1000);
    };
    run.Cancelled = [this] { return FClosing; };
    run.PlanBytes(keys);
    try {
        FCopying = true;
        for (const std::string& key : keys) {
            run.CopyEditionFiles(key);
            run.CopyEditionPictures(key);
        }
        FCopying = false;
    } catch (const ECopyCancelled&) {
        // The window was closed while copying: the installer ends, nothing is recorded.
        FCopying = false;
        EndProgram();
        return;
    }
    FailedFiles = run.Failures;

    if (!(AlreadyInstalled && NewerInstalled))
        FServices.Record->Write({InstallFolder, 1});
    const std::string reader = InstallFolder + Layout::ReaderProgram();
    for (std::size_t i = 0; i < DiscEditions.size(); ++i) {
        const TDiscEdition& e = DiscEditions[i];
        FServices.Shortcuts->CreateShortcut(reader, Cp1251ToUtf8(e.Title + " - " + e.Title2),
                                            keys[i]);
    }
    FServices.Shortcuts->CreateShortcut(InstallFolder + Layout::UninstallProgram(),
                                        "Удалить все книги", "");
    ShowDonePage();
}

void TForm1::ShowDonePage() {
    if (FailedFiles.empty()) {
        Label6->setText(Ui("Установка успешно завершена.\nярлык программы помещен в\n") +
                        Ui(MenuPlace));
        ListBox1->hide();
    } else {
        // A copy that failed is never reported as success: the user sees what is missing.
        Label6->setText(
            Ui("Установка завершена с ошибками: не удалось скопировать файлов: ") +
            QString::number(FailedFiles.size()) +
            Ui(".\nПроверьте диск и запустите установку снова.\nярлык программы помещен в\n") +
            Ui(MenuPlace));
        ListBox1->clear();
        for (const std::string& file : FailedFiles)
            ListBox1->addItem(QDir::toNativeSeparators(FromUtf8(file)));
        ListBox1->show();
    }
    ShowPage(Panel3);
}

void TForm1::closeEvent(QCloseEvent* event) {
    // Closing ends the installer at any time; a copy under way stops after its current file.
    if (FCopying)
        FClosing = true;
    event->accept();
}

void TForm1::Button1Click() {
    if (CheckBox4->isChecked()) {
        std::vector<std::string> arguments;
        if (!DiscEditions.empty())
            arguments.push_back(Cp1251ToUtf8(DiscEditions.front().RegKey));
        FServices.Starter->Start(InstallFolder + Layout::ReaderProgram(), arguments);
    }
    EndProgram();
}

} // namespace quarto::setup
