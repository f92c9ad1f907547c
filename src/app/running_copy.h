#pragma once

#include "platform/instance_channel.h"

#include <QString>

#include <chrono>
#include <memory>

class QWidget;

namespace basBrivamo {

// How long a second start waits for the running copy to answer before it shows its message alone.
// A copy that is playing a sound answers when the sound has ended (at most about 1.6 s).
inline constexpr std::chrono::milliseconds RunningCopyAnswerLimit{2500};

// The running copy's side: from now on a later start (see askRunningCopyToShowItself) brings this
// copy's front window forward. Listens beside the instance lock at `lockPath`; the result keeps
// listening while it lives (null when it cannot listen: later starts then only show their message).
std::unique_ptr<brivamo::InstanceChannelServer> answerLaterStarts(const QString &lockPath);

// A later start's side: asks the running copy to bring its front window forward; true once it has.
bool askRunningCopyToShowItself(const QString &lockPath);

// The window a user would call the program's front window: the modal one if there is one, else the
// one that last had the keyboard, else any window on show; null when there is none.
QWidget *frontWindow();

} // namespace basBrivamo
