// The installer's window: the folder page, the progress page and the done page, one at a time.
#pragma once

#include "platform/FreeSpace.h"
#include "platform/InstallRecord.h"
#include "platform/ProgramStarter.h"
#include "platform/Shortcuts.h"
#include "setup/DiscDescriptor.h"
#include "setup/InstallFlow.h"

#include <QWidget>

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QStackedLayout;
class QToolButton;

// The installer's windows live in quarto::setup, apart from the reader's (quarto::TForm1 is the
// reader's main window); the copy machinery and the disc descriptor they use are quarto's.
namespace quarto::setup {

// The services the installer uses of the system.
struct TSetupServices {
    std::unique_ptr<TInstallRecord> Record;
    std::unique_ptr<TFreeSpace> FreeSpace;
    std::unique_ptr<TShortcuts> Shortcuts;
    std::unique_ptr<TProgramStarter> Starter;
};
TSetupServices SystemSetupServices();

// The folder proposed for a first installation: "Zelvane" in the user's home here,
// "C:\Program Files\Zelvane" on Windows.
std::string DefaultTargetFolder();
// The reader's folder inside a chosen folder: the folder, one separator, "Quarto", a separator.
std::string InstallFolderOf(const std::string& chosenFolder);

class TForm1 : public QWidget {
    Q_OBJECT
public:
    // sourceFolder: the disc root, ending with a separator. installerFolder: the installer's
    // own folder (the disc root when it runs from the disc; empty: the same as sourceFolder),
    // which gives the program group when the disc has no reader for this system.
    TForm1(const std::string& sourceFolder, TSetupServices services,
           const std::string& installerFolder = "");
    ~TForm1() override;

    // State.
    std::string SourceFolder;
    std::string InstallerFolder;
    std::string InstallFolder; // ends with a separator
    std::int32_t RequiredMB = 700;
    std::int32_t DiscSubVersion = 0;
    std::vector<TDiscEdition> DiscEditions;
    bool AlreadyInstalled = false;
    bool NewerInstalled = false;
    // What the last run installed and what it did not.
    TInstallOutcome Outcome;

    // Components, by their designer names.
    QFrame* Panel2;
    QLabel* Label3;
    QLineEdit* DirectoryEdit1;
    QToolButton* DirectoryButton;
    QLabel* Label4;
    QLabel* Label5;
    QPushButton* Button3;
    QFrame* Panel4;
    QLabel* Label8;
    QLabel* Label9;
    QLabel* Label10;
    QProgressBar* ProgressBar1;
    QFrame* Panel3;
    QLabel* Label6;
    QListWidget* ListBox1; // the files that could not be copied
    QCheckBox* CheckBox4;
    QPushButton* Button1;

    // What ending the installer does (quits the application).
    std::function<void()> EndProgram;
    // Shows a message box; tests replace it.
    std::function<void(const QString& caption, const QString& text)> ShowMessage;

    void DirectoryEdit1Change();
    void Button3Click();         // "Далее": the installation
    void Button1Click();         // "Выход"
    void DirectoryButtonClick(); // "…": the folder chosen in a dialog

    QWidget* CurrentPage() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The installer's error policy: every handler the toolkit calls (a signal's slot, an event
    // override) is entered through Guarded, so that no exception crosses Qt's own code. What
    // the handler lets through is shown by ShowMessage, captioned with the installer's title,
    // with the error's text; the installer stays on its page and goes on. True when the
    // handler ran to its end.
    template <class F> bool Guarded(F&& handler);
    void ReportError(const std::exception& e);
    void ReportUnknownError();

    void FormCreate();
    void CreateComponents();
    void ShowFreeSpace();
    void ShowPage(QFrame* page);
    void ShowDonePage();

    TSetupServices FServices;
    std::unique_ptr<TInstallation> FInstallation;
    QStackedLayout* FPages;
    QString FLabel5Text;
    bool FCopying = false;
    bool FClosing = false;
};

} // namespace quarto::setup
