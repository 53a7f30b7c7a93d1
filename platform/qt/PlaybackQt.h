// What the audio and the video player share on Qt Multimedia: handing a file to a player
// (repaired where the framework misreads it, MediaRoute.h), and probing files on a thread of
// their own for the decoders the framework lacks.
#pragma once

#include "platform/MediaProbe.h"
#include "platform/MediaRoute.h"

#include <QMediaPlayer>
#include <QPointer>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace quarto {

// Gives player the file at path (UTF-8, looked up ignoring letter case; inside a disc image or
// not): the file itself or its repaired copy (PlayablePath). The file given is returned.
std::string SetPlayerSource(QMediaPlayer& player, const std::string& path);

// Deletes object once the events run next (a queued call: deleteLater waits for the event
// loop that was running to be left, which, called outside any, may be never).
void DeleteSoon(QObject* object);

// Probes one file at a time on a thread of its own; a file asked for while another is probed
// replaces any that waits. The answer is given on the GUI thread, through context, unless a
// later file has been asked for since. The thread ends (after the probe it runs, if any) when
// the prober goes.
class TMediaProber {
public:
    TMediaProber();
    ~TMediaProber();
    TMediaProber(const TMediaProber&) = delete;
    TMediaProber& operator=(const TMediaProber&) = delete;

    void Probe(const std::string& path, QObject* context,
               std::function<void(const TMediaProbe&)> answer);
    // Forgets the file asked for last: its answer is not given.
    void Forget();

private:
    void Run();

    std::mutex FLock;
    std::condition_variable FWake;
    bool FQuit = false;
    unsigned FAsked = 0; // how many files have been asked for; the last one's answer counts
    std::string FPath;   // waiting to be probed, "" when none
    unsigned FPathNumber = 0;
    QPointer<QObject> FContext;
    std::function<void(const TMediaProbe&)> FAnswer;
    std::thread FThread;
};

// How long a probe may take.
constexpr int ProbeTimeoutMs = 3000;

} // namespace quarto
