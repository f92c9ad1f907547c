#pragma once

// Header only: included by the few tests that need scaled screens.
#include <QApplication>
#include <QScreen>
#include <QTemporaryFile>
#include <QWidget>
#include <QtTest>

namespace brivamo {

// Runs the QtTest object `test` with an application on three offscreen screens side by side,
// with device pixel ratios 1, 1.5 and 2, so that windows can be put on really scaled screens.
inline int RunOnScaledScreens(QObject &test, int argc, char **argv)
{
    QTemporaryFile config;
    if (!config.open())
        return 1;
    config.write(R"({"screens": [
        {"name": "plain", "x": 0, "y": 0, "width": 800, "height": 600, "dpr": 1.0},
        {"name": "mid", "x": 800, "y": 0, "width": 800, "height": 600, "dpr": 1.5},
        {"name": "double", "x": 1600, "y": 0, "width": 800, "height": 600, "dpr": 2.0}]})");
    config.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
    QApplication app(argc, argv);
    return QTest::qExec(&test, argc, argv);
}

// The screen with the given device pixel ratio, or nullptr.
inline QScreen *ScreenWithRatio(qreal ratio)
{
    for (QScreen *screen : QGuiApplication::screens())
        if (qFuzzyCompare(screen->devicePixelRatio(), ratio))
            return screen;
    return nullptr;
}

// Puts the top-level `window` on the screen with that ratio, with the given size.
inline void PlaceOnScreen(QWidget &window, qreal ratio, QSize size)
{
    QScreen *screen = ScreenWithRatio(ratio);
    if (!screen)
        qFatal("no offscreen screen with ratio %g", ratio);
    window.setScreen(screen);
    window.setGeometry(QRect(screen->geometry().topLeft() + QPoint(40, 40), size));
}

} // namespace brivamo
