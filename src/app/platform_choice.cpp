#include "app/platform_choice.h"

#include "app/command_line.h"

#include <QDir>
#include <QLibraryInfo>

#include <cstring>

namespace basBrivamo {

namespace {

bool qtWaylandSupportInstalled()
{
    const QDir platforms(QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms"));
    return !platforms.entryList({QStringLiteral("libqwayland-*.so")}, QDir::Files).isEmpty();
}

} // namespace

PlatformChoice::PlatformChoice(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0)
            return;
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return;
    const bool wayland =
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qgetenv("XDG_SESSION_TYPE") == "wayland";
    if (!qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        m_chosen = true;
    } else if (wayland) {
        if (!qtWaylandSupportInstalled()) {
            m_problem = QStringLiteral("This Wayland desktop offers no X display (DISPLAY is not set), and "
                                       "Qt's Wayland support (the package qt6-wayland) is not installed.");
            return;
        }
        // Qt would end the program on a compositor that is not there.
        if (!brivamo::WaylandDisplayAnswers()) {
            m_problem = QStringLiteral("This Wayland desktop offers no X display (DISPLAY is not set), and "
                                       "no Wayland display answers.");
            return;
        }
        qputenv("QT_QPA_PLATFORM", "wayland");
        m_chosen = true;
    }
}

PlatformChoice::~PlatformChoice()
{
    release();
}

void PlatformChoice::release()
{
    if (m_chosen)
        qunsetenv("QT_QPA_PLATFORM");
    m_chosen = false;
}

} // namespace basBrivamo
