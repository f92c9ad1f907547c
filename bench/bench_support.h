#pragma once

#include <QApplication>

#include <memory>

// Widgets need an application object; without a display the offscreen platform serves.
inline void ensureApplication()
{
    static std::unique_ptr<QApplication> application;
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "brivamo_bench";
    static char *argv[] = {name, nullptr};
    application = std::make_unique<QApplication>(argc, argv);
}
