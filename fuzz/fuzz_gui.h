#pragma once
// One Gui application for a whole fuzzing run, for the targets whose code
// measures fonts (offscreen unless the caller chose a platform).

#include <QByteArray>
#include <QGuiApplication>
#include <QtGlobal>

namespace kmx::fuzz {

inline void StartGuiApplication() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "kmx-fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    static_cast<void>(app);
}

}  // namespace kmx::fuzz
