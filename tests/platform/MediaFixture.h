// What the player tests share: one application for the whole test program, offscreen unless
// the environment says otherwise, waiting with the events running, and whether the media
// framework has been loaded.
#pragma once

#include <QApplication>
#include <QTest>

#include <cstring>
#include <functional>
#include <link.h>

namespace quarto::test {

inline QApplication& MediaApplication() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "platform_tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

// Runs the events until done() or ms milliseconds have passed; done() at the end.
inline bool WaitFor(const std::function<bool()>& done, int ms) {
    return QTest::qWaitFor(done, ms);
}

// Deletes the players let go of during the test (they go when the events run next).
inline void DeleteLeftPlayers() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// True when Qt Multimedia's backend plugin is loaded in this process.
inline bool MediaPluginLoaded() {
    return dl_iterate_phdr(
               [](dl_phdr_info* info, std::size_t, void*) {
                   return info->dlpi_name && std::strstr(info->dlpi_name, "mediaplugin.so") ? 1 : 0;
               },
               nullptr) != 0;
}

} // namespace quarto::test
