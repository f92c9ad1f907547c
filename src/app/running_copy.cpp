#include "app/running_copy.h"

#include "platform/instance_channel.h"
#include "platform/window_activation.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace basBrivamo {

namespace {

// The top-level window that last had the keyboard (a minimized window has lost it, but is still
// the one the user last worked in).
QPointer<QWidget> &lastActiveWindow()
{
    static QPointer<QWidget> window;
    return window;
}

void trackActiveWindow()
{
    QObject::connect(qApp, &QGuiApplication::focusWindowChanged, qApp, [](QWindow *focused) {
        if (!focused)
            return;
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (widget->windowHandle() == focused)
                lastActiveWindow() = widget;
    });
}

bool isOrdinaryWindow(const QWidget *widget)
{
    const Qt::WindowType type = widget->windowType();
    return widget->isVisible() && (type == Qt::Window || type == Qt::Dialog);
}

} // namespace

QWidget *frontWindow()
{
    if (QWidget *modal = QApplication::activeModalWidget(); modal && modal->isVisible())
        return modal;
    if (QWidget *last = lastActiveWindow(); last && isOrdinaryWindow(last))
        return last;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (isOrdinaryWindow(widget))
            return widget;
    return nullptr;
}

std::unique_ptr<brivamo::InstanceChannelServer> answerLaterStarts(const QString &lockPath)
{
    trackActiveWindow();
    auto channel =
        std::make_unique<brivamo::InstanceChannelServer>([] { brivamo::bringWindowForward(frontWindow()); });
    if (!channel->listen(brivamo::instanceChannelPath(lockPath)))
        return nullptr;
    return channel;
}

bool askRunningCopyToShowItself(const QString &lockPath)
{
    return brivamo::askRunningCopyToShow(brivamo::instanceChannelPath(lockPath), RunningCopyAnswerLimit);
}

} // namespace basBrivamo
