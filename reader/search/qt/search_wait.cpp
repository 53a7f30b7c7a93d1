#include "search_wait.h"

#include "common/qt/QtText.h"
#include "reader/core/qt/ErrorReport.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace quarto {

TForm2* Form2 = nullptr;

TForm2::TForm2(QWidget* parent) : QWidget(parent, Qt::Dialog) {
    setObjectName("Form2");
    setWindowTitle(Ui("Поиск"));

    Label1 = new QLabel(Ui("Идет поиск.\r\nПодождите, пожалуйста."), this);
    Label1->setObjectName("Label1");
    Label1->setAlignment(Qt::AlignCenter);
    QFont font = Label1->font();
    font.setFamilies({"Times New Roman", "Liberation Serif", "DejaVu Serif"});
    font.setPixelSize(21);
    Label1->setFont(font);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 16);
    layout->setSpacing(10);
    layout->addWidget(Label1, 1);
    layout->addWidget(ProgressBar1);
    setFixedSize(layout->sizeHint().expandedTo(QSize(320, 0)));
    CentreOnScreen();

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, [this] { Guarded([&] { Timer1Timer(); }); });
    Timer1->start();
}

void TForm2::Timer1Timer() {
    const int position = ProgressBar1->value() + 1;
    ProgressBar1->setValue(position == ProgressBar1->maximum() ? 0 : position);
}

void TForm2::CentreOnScreen() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect r = screen->geometry();
        const QSize size = frameGeometry().size();
        move(r.left() + (r.width() - size.width()) / 2, r.top() + (r.height() - size.height()) / 2);
    }
}

void TForm2::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    CentreOnScreen();
}

} // namespace quarto
