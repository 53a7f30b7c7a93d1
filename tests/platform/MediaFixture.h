// What the player tests share: one application for the whole test program, offscreen unless
// the environment says otherwise, waiting with the events running, and whether the media
// framework has been loaded.
#pragma once

#include <QApplication>
#include <QTest>

#include "EditionFixture.h"
#include "common/DiscImage.h"

#include <cstdlib>
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

// The files written into an ISO 9660 image (Rock Ridge and Joliet) under folder, mounted: its
// root; "" when the image could not be made.
inline std::string MountedImageOf(const TPath& folder, const TFiles& files) {
    WriteFiles(folder / "tree", files);
    const std::string image = folder / "disc.iso";
    const std::string command = std::string(QUARTO_XORRISO) + " -as mkisofs -quiet -J -R -o '" +
                                image + "' '" + std::string(folder / "tree") + "' 2>/dev/null";
    return std::system(command.c_str()) == 0 ? MountDiscImage(image) : std::string();
}

} // namespace quarto::test
