#pragma once

#include <QString>

namespace brivamo {

// Buttons a message box offers, in the order they appear.
enum class MsgButtons { OkOnly, OkCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };

enum class MsgIcon { None, Critical, Question, Exclamation, Information };

// The button the user chose. Closing a box through its close box or Esc answers Cancel where the
// box has a Cancel button, otherwise the box's only or last button (No for Yes/No).
enum class MsgAnswer { Ok, Cancel, Abort, Retry, Ignore, Yes, No };

// Every message box and input box of the program goes through this seam, so tests can answer them
// with a script instead of blocking on a real dialog. Texts may hold CR LF line breaks.
class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // Shows a message box. `defaultButton` is 1, 2 or 3: the button Enter presses.
    MsgAnswer MsgBox(const QString &text, MsgButtons buttons, MsgIcon icon, const QString &caption,
                     int defaultButton = 1);

    // Shows a prompt with OK and Cancel. The answer is stripped of leading and trailing spaces;
    // Cancel answers empty text.
    QString InputBox(const QString &prompt, const QString &caption, const QString &defaultText = QString());

protected:
    virtual MsgAnswer showMessage(const QString &text, MsgButtons buttons, MsgIcon icon,
                                  const QString &caption, int defaultButton) = 0;
    // Returns the text as typed, or a null/empty string for Cancel.
    virtual QString askText(const QString &prompt, const QString &caption, const QString &defaultText) = 0;
};

// The process-wide dialogs. The program installs the real ones at start-up; tests install a
// scripted responder. Asking for a dialog with none installed is a programming error and aborts
// with a message (a real box would hang a headless test).
Dialogs &dialogs();

// Installs `responder` (not owned; nullptr uninstalls) and returns the previous one.
Dialogs *setDialogs(Dialogs *responder);

// Number of buttons a box of this kind shows.
int buttonCount(MsgButtons buttons);

// The answers of the buttons of a box, left to right.
QList<MsgAnswer> buttonAnswers(MsgButtons buttons);

// Strips leading and trailing spaces, as input boxes do with every answer.
QString stripSpaces(const QString &text);

// CR LF (and a lone CR) as the LF that Qt's text rendering breaks lines on.
QString toDisplayLineBreaks(const QString &text);

} // namespace brivamo
