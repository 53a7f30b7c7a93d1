// The player bar over the text ("Panel5"): the title of what plays, pause and resume, the
// position and length of the track, a slider moving within it and the loudness. It shows the
// player it is bound to and follows it while it plays; it is shown while the edition has music
// or audio, and whatever the edition while its player plays or is paused.
#pragma once

#include "platform/MediaMode.h"

#include <QFrame>

#include <string>

class QLabel;
class QSlider;
class QTimer;
class QToolButton;

namespace quarto {

class TMediaPlayer;

class TPlayerBar : public QFrame {
    Q_OBJECT
public:
    // A hidden bar, bound to no player; its widgets are named "SpeedButton1", "Label4",
    // "PlayerTime", "PlayerPosition" and "PlayerVolume".
    explicit TPlayerBar(QWidget* parent);

    // Binds the bar to player, which outlives the binding: the player takes the bar's
    // loudness, and the bar follows the player's position while it plays.
    void Bind(TMediaPlayer& player);
    // Opens path in the bound player and plays it from the start, titled title. A file the
    // player cannot open throws the player's error; the title then stays.
    void Play(const std::string& path, const QString& title);
    // The first button: pauses what plays, resumes what is paused; nothing else (after the
    // end, too). The button then shows the mode again.
    void PauseOrResume();
    // Pauses what plays (a clip starting); resumable on the bar.
    void Pause();
    // Whether the edition shown has music or audio: the bar is shown then, and otherwise only
    // while its player plays or is paused, so that what plays can always be stopped.
    void ShowForEdition(bool wanted);
    // Shows title as what plays.
    void ShowTitle(const QString& title);
    // The position, length and controls as the player stands: the first button down only
    // while paused, its picture "play" unless the player plays, enabled only while playing or
    // paused; after the end, up, at the position the player tells.
    void ShowState();

    // Components, by their designer names.
    QToolButton* SpeedButton1; // pause (down) and resume (up)
    QLabel* Label4;            // the title of what plays

private:
    void MoveTo(int ms);
    void SetLoudness(int percent);

    void ShowButton();

    TMediaPlayer* FPlayer = nullptr;
    bool FWanted = false; // the edition has music or audio
    QLabel* FTime;        // position and length of the track
    QSlider* FPosition;   // the track's position; dragging it moves there
    QSlider* FLoudness;   // 0..100
    QTimer* FFollow;      // moves the position while a track plays
};

} // namespace quarto
