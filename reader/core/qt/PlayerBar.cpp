#include "reader/core/qt/PlayerBar.h"

#include "common/qt/Named.h"
#include "common/qt/QtText.h"
#include "platform/MediaPlayer.h"
#include "reader/core/qt/ErrorReport.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <limits>

namespace quarto {

namespace {

// How often the bar's position follows a playing track.
constexpr int PositionStepMs = 250;
// How far a click on the position slider beside its handle moves (Qt's own step is 10 ms).
constexpr int PageStepMs = 5000;

// m:ss
QString Clock(std::int64_t ms) {
    const std::int64_t seconds = std::max<std::int64_t>(0, ms) / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

// The width of the widest time text a track of length ms can show ("position / length", each
// digit the font's widest).
int WidestTimeWidth(const QFontMetrics& metrics, std::int64_t ms) {
    QChar widest = QLatin1Char('0');
    for (char digit = '0'; digit <= '9'; ++digit)
        if (metrics.horizontalAdvance(QLatin1Char(digit)) > metrics.horizontalAdvance(widest))
            widest = QLatin1Char(digit);
    QString clock = Clock(ms);
    for (QChar& c : clock)
        if (c.isDigit())
            c = widest;
    return metrics.horizontalAdvance(clock + QStringLiteral(" / ") + clock) + 1;
}

// The title of what plays, cut with an ellipsis where the bar is too narrow for it; its text
// stays whole.
class TTitleLabel final : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect area = contentsRect();
        style()->drawItemText(&painter, area, static_cast<int>(alignment()), palette(), isEnabled(),
                              fontMetrics().elidedText(text(), Qt::ElideRight, area.width()),
                              foregroundRole());
    }
};

} // namespace

TPlayerBar::TPlayerBar(QWidget* parent) : QFrame(parent) {
    setObjectName("Panel5");
    setFixedHeight(30);
    setFrameShape(QFrame::StyledPanel);
    // Narrow panes (the built-in face's is 249 pixels) hold the bar whole: the title gives way
    // first, down to nothing, then the position slider; the time keeps its widest text.
    auto* bar = new QHBoxLayout(this);
    bar->setContentsMargins(2, 1, 3, 1);
    bar->setSpacing(3);
    SpeedButton1 = Named(new QToolButton(this), "SpeedButton1");
    SpeedButton1->setCheckable(true);
    SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_MediaPause));
    SpeedButton1->setToolTip(Ui("Пауза"));
    SpeedButton1->setAutoRaise(true);
    Label4 = Named(new TTitleLabel(this), "Label4");
    Label4->setMinimumWidth(0);
    Label4->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    FTime = Named(new QLabel(this), "PlayerTime");
    FTime->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    FTime->setMinimumWidth(WidestTimeWidth(FTime->fontMetrics(), 0));
    FPosition = Named(new QSlider(Qt::Horizontal, this), "PlayerPosition");
    FPosition->setToolTip(Ui("Положение"));
    FPosition->setPageStep(PageStepMs); // a click beside the handle
    FPosition->setMinimumWidth(40);
    auto* loudness = new QLabel(this);
    loudness->setPixmap(style()->standardIcon(QStyle::SP_MediaVolume).pixmap(16, 16));
    FLoudness = Named(new QSlider(Qt::Horizontal, this), "PlayerVolume");
    FLoudness->setRange(0, 100);
    FLoudness->setValue(100);
    FLoudness->setFixedWidth(50);
    FLoudness->setToolTip(Ui("Громкость"));
    bar->addWidget(SpeedButton1);
    bar->addWidget(Label4, 3);
    bar->addWidget(FTime);
    bar->addWidget(FPosition, 2);
    bar->addWidget(loudness);
    bar->addWidget(FLoudness);
    FFollow = new QTimer(this);
    FFollow->setInterval(PositionStepMs);
    hide();
    ShowState();

    connect(FFollow, &QTimer::timeout, this, [this] { Guarded([&] { ShowState(); }); });
    connect(FPosition, &QSlider::sliderMoved, this,
            [this](int ms) { Guarded([&] { MoveTo(ms); }); });
    connect(FPosition, &QSlider::actionTriggered, this,
            [this](int) { Guarded([&] { MoveTo(FPosition->sliderPosition()); }); });
    connect(FLoudness, &QSlider::valueChanged, this,
            [this](int percent) { Guarded([&] { SetLoudness(percent); }); });
}

void TPlayerBar::Bind(TMediaPlayer& player) {
    FPlayer = &player;
    player.SetVolume(FLoudness->value());
    player.OnModeChange([this](TMediaMode mode) {
        if (mode == TMediaMode::Playing)
            FFollow->start();
        else
            FFollow->stop();
        ShowState();
    });
    // The end is told after the mode went to Stopped; the position may have moved since.
    player.OnEnd([this] {
        FFollow->stop();
        ShowState();
    });
    ShowState();
}

void TPlayerBar::Play(const std::string& path, const QString& title) {
    if (!FPlayer)
        return;
    FPlayer->SetFileName(path);
    FPlayer->Open();
    FPlayer->Play();
    ShowTitle(title);
    ShowState();
}

void TPlayerBar::ShowTitle(const QString& title) {
    Label4->setText(title);
    Label4->setToolTip(title);
}

void TPlayerBar::PauseOrResume() {
    if (!FPlayer || FPlayer->FileName().empty())
        return;
    switch (FPlayer->Mode()) {
    case TMediaMode::Playing:
        FPlayer->Pause();
        break;
    case TMediaMode::Paused:
        FPlayer->Resume();
        break;
    default:
        break;
    }
    ShowState(); // a press that changed nothing leaves the button as the mode is
}

void TPlayerBar::Pause() {
    if (FPlayer && FPlayer->Mode() == TMediaMode::Playing)
        FPlayer->Pause();
    ShowState();
}

void TPlayerBar::ShowForEdition(bool wanted) {
    FWanted = wanted;
    ShowState();
}

void TPlayerBar::MoveTo(int ms) {
    if (FPlayer)
        FPlayer->Seek(ms);
    ShowState();
}

void TPlayerBar::SetLoudness(int percent) {
    if (FPlayer)
        FPlayer->SetVolume(percent);
}

void TPlayerBar::ShowState() {
    const bool open = FPlayer && FPlayer->Mode() != TMediaMode::NotOpen;
    const std::int64_t length = open ? FPlayer->Duration() : 0;
    const std::int64_t at = open ? FPlayer->Position() : 0;
    FPosition->setEnabled(open && length > 0);
    if (!FPosition->isSliderDown()) {
        const QSignalBlocker quiet(FPosition);
        FPosition->setRange(
            0, static_cast<int>(std::min<std::int64_t>(length, std::numeric_limits<int>::max())));
        FPosition->setValue(
            static_cast<int>(std::min<std::int64_t>(at, std::numeric_limits<int>::max())));
    }
    FTime->setText(open ? Clock(at) + QStringLiteral(" / ") + Clock(length) : QString());
    FTime->setMinimumWidth(WidestTimeWidth(FTime->fontMetrics(), std::max(at, length)));
    ShowButton();
    const TMediaMode mode = FPlayer ? FPlayer->Mode() : TMediaMode::NotOpen;
    setVisible(FWanted || mode == TMediaMode::Playing || mode == TMediaMode::Paused);
}

void TPlayerBar::ShowButton() {
    const TMediaMode mode = FPlayer ? FPlayer->Mode() : TMediaMode::NotOpen;
    const bool paused = mode == TMediaMode::Paused;
    {
        const QSignalBlocker quiet(SpeedButton1);
        SpeedButton1->setChecked(paused);
    }
    // Playing, it pauses; paused, it resumes; stopped or ended, it shows that nothing plays.
    const bool playing = mode == TMediaMode::Playing;
    SpeedButton1->setEnabled(playing || paused);
    SpeedButton1->setIcon(
        style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    SpeedButton1->setToolTip(paused ? Ui("Продолжить") : playing ? Ui("Пауза") : Ui("Остановлено"));
}

} // namespace quarto
