#include "refs_unit.h"

#include "HtmlView.h"

#include "common/qt/QtText.h"
#include "reader/core/qt/ErrorReport.h"
#include "reader/core/qt/mainform.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace quarto {

TRefs* Refs = nullptr;

TRefs::TRefs(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("Refs");
    setWindowTitle(Ui("Ссылка"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    WB1 = new THtmlView(this);
    WB1->setObjectName("WB1");
    WB1->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(WB1, 1);
    WB1->OnHotSpotClick = [this](const std::string& target, bool& handled) {
        WB1HotSpotClick(target, handled);
    };

    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setFixedHeight(54);
    auto* bar = new QHBoxLayout(Panel1);
    bar->addStretch(1);
    Button1 = new QPushButton(Ui("Закрыть"), Panel1);
    Button1->setObjectName("Button1");
    Button1->setMinimumSize(101, 25);
    Button1->resize(113, 25);
    Button1->setFixedWidth(113);
    bar->addWidget(Button1);
    bar->addStretch(1);
    layout->addWidget(Panel1);
    connect(Button1, &QPushButton::clicked, this, [this] { Guarded([&] { Button1Click(); }); });

    resize(802, 502);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect r = screen->availableGeometry();
        move(r.center() - QPoint(width() / 2, height() / 2));
    }
}

void TRefs::Button1Click() {
    hide();
}

void TRefs::WB1HotSpotClick(const std::string& target, bool& handled) {
    if (Form1)
        Form1->OpenFileLink(target, *WB1, handled);
}

} // namespace quarto
