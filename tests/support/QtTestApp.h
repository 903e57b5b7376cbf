#pragma once
// One QApplication for a test program, created on first use, on the offscreen platform unless
// the caller chose another, so UI tests need no display.

#include <QApplication>
#include <QStandardPaths>
#include <cstdlib>

namespace quarrow::test {

inline QApplication& EnsureQtApp() {
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return *app;
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Anything that would reach the user's own folders goes to Qt's test locations instead.
    QStandardPaths::setTestModeEnabled(true);
    static int argc = 1;
    static char name[] = "quarrow-test";
    static char* argv[] = {name, nullptr};
    // Never destroyed: a QApplication torn down among the static destructors crashes the
    // test program at exit.
    static auto* app = new QApplication(argc, argv);
    return *app;
}

}  // namespace quarrow::test
