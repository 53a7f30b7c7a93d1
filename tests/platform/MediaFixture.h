// What the player tests share: one application for the whole test program, offscreen unless
// the environment says otherwise, and waiting with the events running.
#pragma once

#include <QApplication>
#include <QTest>

#include <functional>

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

} // namespace quarto::test
