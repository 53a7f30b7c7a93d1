// The disc prompt: asks for the disc that holds a picture, until the picture is found there or
// the user gives up.
#pragma once

#include <QDialog>

#include <functional>
#include <string>

class QLabel;
class QPushButton;

namespace quarto {

class TinsertForm : public QDialog {
    Q_OBJECT
public:
    explicit TinsertForm(QWidget* parent = nullptr);

    // Given before the prompt is shown: the edition's display name (UTF-8, as shown), the file
    // looked for and the folder it is looked for in ("Books\KEY\Pictures", as the data spells
    // it).
    std::string DiscTitle;
    std::string DiscFile;
    std::string DiscFolder;
    // Where a file is: the full path, or empty when it is nowhere (the reader's disc lookup).
    std::function<std::string(const std::string& folder, const std::string& name)> Lookup;

    QLabel* Label2;
    QLabel* Label1;
    QPushButton* FlatSpeedButton1; // "Уже вставлен"
    QPushButton* FlatSpeedButton2; // "Отмена"

    // Closes the prompt with OK once the file is found; stays open otherwise.
    void FlatSpeedButton1Click();
    void FlatSpeedButton2Click();

protected:
    void showEvent(QShowEvent* event) override;
};

extern TinsertForm* insertForm;

} // namespace quarto
