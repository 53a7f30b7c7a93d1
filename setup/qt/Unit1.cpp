#include "Unit1.h"

#include "common/Cp1251.h"
#include "common/FileSystem.h"
#include "common/Guarded.h"
#include "common/qt/Named.h"
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

// The installer's title, also the caption of its error report.
const char* const InstallerTitle = "Электронные книги";

} // namespace

template <class F> bool TForm1::Guarded(F&& handler) {
    return GuardedBy(
        std::forward<F>(handler), [this](const std::exception& e) { ReportError(e); },
        [this] { ReportUnknownError(); });
}

void TForm1::ReportError(const std::exception& e) {
    ShowMessage(Ui(InstallerTitle), FromUtf8(e.what()));
}

void TForm1::ReportUnknownError() {
    ShowMessage(Ui(InstallerTitle), Ui("Неизвестная ошибка."));
}

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

TForm1::TForm1(const std::string& sourceFolder, TSetupServices services,
               const std::string& installerFolder)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      SourceFolder(sourceFolder),
      InstallerFolder(installerFolder.empty() ? sourceFolder : installerFolder),
      FServices(std::move(services)) {
    setObjectName("Form1");
    setWindowTitle(Ui(InstallerTitle));
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

    connect(DirectoryEdit1, &QLineEdit::textChanged, this,
            [this] { Guarded([&] { DirectoryEdit1Change(); }); });
    connect(DirectoryButton, &QToolButton::clicked, this,
            [this] { Guarded([&] { DirectoryButtonClick(); }); });
    connect(Button3, &QPushButton::clicked, this, [this] { Guarded([&] { Button3Click(); }); });
    connect(Button1, &QPushButton::clicked, this, [this] { Guarded([&] { Button1Click(); }); });
}

void TForm1::FormCreate() {
    FInstallation = std::make_unique<TInstallation>(
        SourceFolder, InstallFolderOf(DefaultTargetFolder()), *FServices.Record);
    const TInstallation& setup = *FInstallation;
    InstallFolder = setup.InstallFolder;
    DiscSubVersion = setup.DiscSubVersion;
    RequiredMB = setup.RequiredMB;
    DiscEditions = setup.DiscEditions;
    AlreadyInstalled = setup.AlreadyInstalled;
    NewerInstalled = setup.NewerInstalled;
    if (AlreadyInstalled && !InstallFolder.empty()) {
        {
            const QSignalBlocker blocker(DirectoryEdit1);
            DirectoryEdit1->setText(FromUtf8(InstallFolder));
        }
        DirectoryEdit1->setEnabled(false);
        DirectoryButton->setEnabled(false);
        Label3->setText(Ui("Одна из версий программы уже установлена"));
    }
    if (const std::string problem = setup.DescriptorProblem(); !problem.empty()) {
        // Nothing can be installed from a disc without its descriptor.
        Label3->setText(FromUtf8(problem));
        Label3->setWordWrap(true);
        Button3->setEnabled(false);
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
    // A folder that is not a full path is refused by "Далее".
    if (const auto chosen = ChosenFolderOf(ToUtf8(DirectoryEdit1->text()), nullptr)) {
        InstallFolder = InstallFolderOf(*chosen);
        ShowFreeSpace();
    }
}

void TForm1::DirectoryButtonClick() {
    const QString start =
        DirectoryEdit1->text().isEmpty() ? FromUtf8(DefaultTargetFolder()) : DirectoryEdit1->text();
    const QString chosen =
        QFileDialog::getExistingDirectory(this, Ui("Выберите путь для установки"), start);
    if (!chosen.isEmpty())
        DirectoryEdit1->setText(QDir::toNativeSeparators(chosen));
}

void TForm1::ShowPage(QFrame* page) {
    if (FPages->currentWidget() != page)
        FPages->setCurrentWidget(page);
}

QWidget* TForm1::CurrentPage() const {
    return FPages->currentWidget();
}

void TForm1::Button3Click() {
    if (const std::string problem = FInstallation->DescriptorProblem(); !problem.empty()) {
        ShowMessage(QString(), FromUtf8(problem));
        return;
    }
    if (!AlreadyInstalled) {
        std::string refusal;
        const auto chosen = ChosenFolderOf(ToUtf8(DirectoryEdit1->text()), &refusal);
        if (!chosen) {
            ShowMessage(QString(), FromUtf8(refusal));
            return;
        }
        InstallFolder = InstallFolderOf(*chosen);
    }
    if (FServices.FreeSpace->FreeMegabytes(InstallFolder) < RequiredMB) {
        ShowMessage(QString(), Ui("Недостаточно места на выбранном диске"));
        return;
    }
    Button3->setEnabled(false);
    FInstallation->InstallFolder = InstallFolder;

    TCopyRun run(SourceFolder, InstallFolder, NewerInstalled);
    run.InstallerFolder = InstallerFolder;
    run.OnGroup = [this](const std::string& group) {
        Label9->setText(FromUtf8(group));
        ShowPage(Panel4);
    };
    run.OnFileCopied = [this](const std::string& name) { Label10->setText(FromUtf8(name)); };
    run.OnPump = [] { QCoreApplication::processEvents(); };
    run.OnProgress = [this](double fraction) {
        ProgressBar1->setValue(static_cast<int>(fraction * ProgressBar1->maximum() + 0.5));
    };
    run.Cancelled = [this] { return FClosing; };
    FCopying = true;
    try {
        Outcome = FInstallation->Install(run, *FServices.Record, *FServices.Shortcuts);
    } catch (const ECopyCancelled&) {
        // The window was closed while copying: the installer ends, nothing is recorded.
        FCopying = false;
        EndProgram();
        return;
    } catch (...) {
        FCopying = false;
        throw;
    }
    FCopying = false;
    ShowDonePage();
}

void TForm1::ShowDonePage() {
    const QString menu = Ui("ярлык программы помещен в\n") + Ui(MenuPlace);
    // A disc made for another system: say where the reader came from.
    const QString readerSource = Outcome.ReaderFromInstaller && Outcome.ReaderInstalled
                                     ? Ui("На диске нет программы чтения для этой системы: "
                                          "установлена программа из папки программы установки, "
                                          "с диска взяты книги.\n")
                                     : QString();
    if (Outcome.Complete()) {
        Label6->setText(Ui("Установка успешно завершена.\n") + readerSource +
                        (Outcome.ShortcutsMade > 0 ? menu : Ui("Ярлыки в меню не созданы.")));
        ListBox1->hide();
    } else {
        // A failure is never reported as success: the user sees what is missing and why.
        std::size_t files = 0;
        for (const TInstallFailure& failure : Outcome.Failures)
            files += failure.File ? 1 : 0;
        QString text = files > 0 ? Ui("Установка завершена с ошибками: не удалось скопировать "
                                      "файлов: ") +
                                       QString::number(files) + '.'
                                 : Ui("Установка завершена с ошибками.");
        QStringList missing;
        for (std::size_t i = 0; i < DiscEditions.size(); ++i)
            if (i < Outcome.EditionInstalled.size() && !Outcome.EditionInstalled[i])
                missing << From1251(DiscEditions[i].Title);
        if (!missing.isEmpty())
            text += Ui("\nНе установлены издания: ") + missing.join(Ui(", ")) + '.';
        if (!Outcome.ReaderInstalled && !DiscEditions.empty())
            text += Ui("\nПрограмма чтения не установлена.");
        if (!Outcome.Recorded && !(AlreadyInstalled && NewerInstalled))
            text += Ui("\nУстановка не записана: при следующем запуске можно выбрать "
                       "другую папку.");
        text += Ui("\nПроверьте диск и запустите установку снова.\n") + readerSource;
        text += Outcome.ShortcutsMade > 0 ? menu : Ui("Ярлыки в меню не созданы.");
        Label6->setText(text);
        ListBox1->clear();
        for (const TInstallFailure& failure : Outcome.Failures)
            ListBox1->addItem(FromUtf8(failure.Why) + Ui(": ") +
                              QDir::toNativeSeparators(FromUtf8(failure.What)));
        ListBox1->show();
    }
    // The reader can be started only when it is there.
    const bool reader =
        FileSystem().Stat(InstallFolder + Layout::ReaderProgram()).Kind == TEntryKind::File;
    if (!reader)
        CheckBox4->setChecked(false);
    CheckBox4->setEnabled(reader);
    ShowPage(Panel3);
    // A long report makes the window taller rather than hiding its first lines.
    const int needed = layout()->totalHeightForWidth(width());
    if (needed > height())
        resize(width(), needed);
}

void TForm1::closeEvent(QCloseEvent* event) {
    // Closing ends the installer at any time; a copy under way stops after its current file.
    if (FCopying)
        FClosing = true;
    event->accept();
}

void TForm1::Button1Click() {
    if (CheckBox4->isChecked() && CheckBox4->isEnabled())
        FInstallation->StartReader(*FServices.Starter);
    EndProgram();
}

} // namespace quarto::setup
