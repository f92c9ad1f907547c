#pragma once

#include <QString>

namespace basBrivamo {

// Chooses the window system before Qt starts, where the user has not (QT_QPA_PLATFORM unset, no
// -platform argument). Wherever an X display is offered, also beside a Wayland one (XWayland), the
// windows go there: a program can place its windows, fade them and bring them forward only there.
// With Wayland alone the windows go to Wayland directly, where the compositor places them and
// nothing fades.
class PlatformChoice
{
public:
    PlatformChoice(int argc, char *argv[]);
    ~PlatformChoice();
    PlatformChoice(const PlatformChoice &) = delete;
    PlatformChoice &operator=(const PlatformChoice &) = delete;

    // Empty when the windows have somewhere to go as far as can be told here, otherwise a sentence
    // saying why not (a Wayland desktop without an X display, and no Qt Wayland support installed).
    const QString &problem() const { return m_problem; }

    // To be called once Qt has started: the choice was for this program only, so programs started
    // from it (the browser, the mail program) make their own again.
    void release();

private:
    bool m_chosen = false;
    QString m_problem;
};

} // namespace basBrivamo
