#include "insertUnit.h"

#include "common/qt/QtText.h"
#include "reader/core/qt/ErrorReport.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace quarto {

TinsertForm* insertForm = nullptr;

namespace {

QPushButton* FlatButton(const char* caption, const char* name, QWidget* parent) {
    auto* button = new QPushButton(Ui(caption), parent);
    button->setObjectName(name);
    button->setFlat(true);
    button->setAutoDefault(false);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

} // namespace

TinsertForm::TinsertForm(QWidget* parent) : QDialog(parent) {
    setObjectName("insertForm");
    setWindowTitle(Ui("Не найден нужный диск."));
    // A fixed dialog frame without the title bar's buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(366, 115);
    setModal(true);

    Label2 = new QLabel(Ui("Вставьте, пожалуйста, диск с надписью"), this);
    Label2->setObjectName("Label2");
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setGeometry(0, 12, width(), 20);
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    Label1->move(0, 40);

    FlatSpeedButton1 = FlatButton("Уже вставлен", "FlatSpeedButton1", this);
    FlatSpeedButton2 = FlatButton("Отмена", "FlatSpeedButton2", this);
    FlatSpeedButton1->setGeometry(70, 78, 110, 25);
    FlatSpeedButton2->setGeometry(186, 78, 110, 25);
    connect(FlatSpeedButton1, &QPushButton::clicked, this,
            [this] { Guarded([&] { FlatSpeedButton1Click(); }); });
    connect(FlatSpeedButton2, &QPushButton::clicked, this,
            [this] { Guarded([&] { FlatSpeedButton2Click(); }); });
}

void TinsertForm::showEvent(QShowEvent* event) {
    Label1->setText(FromUtf8(DiscTitle));
    Label1->adjustSize();
    // Centred, however long the edition's name.
    Label1->move(std::max(0, width() / 2 - Label1->width() / 2), Label1->y());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

void TinsertForm::FlatSpeedButton1Click() {
    if (Lookup && !Lookup(DiscFolder, DiscFile).empty())
        accept();
}

void TinsertForm::FlatSpeedButton2Click() {
    reject();
}

} // namespace quarto
