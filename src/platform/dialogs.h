#pragma once

#include <QString>

#include <optional>

namespace brivamo {

// Buttons a message box offers, in the order they appear.
enum class MsgButtons { OkOnly, OkCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };

enum class MsgIcon { None, Critical, Question, Exclamation, Information };

// The button the user chose. Closing a box through its close box or Esc answers Cancel where the
// box has a Cancel button, otherwise the box's only or last button (No for Yes/No).
enum class MsgAnswer { Ok, Cancel, Abort, Retry, Ignore, Yes, No };

// A check box under a message box's text. `text` is its caption ("&" marks the access key);
// `checked` is its state as the box opens and, once the box is closed, as the user left it.
struct MsgCheckBox
{
    QString text;
    bool checked = false;
};

// Every message box and input box of the program goes through this seam, so tests can answer them
// with a script instead of blocking on a real dialog. Texts may hold CR LF line breaks.
class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // Shows a message box. `defaultButton` is 1, 2 or 3: the button Enter presses.
    MsgAnswer MsgBox(const QString &text, MsgButtons buttons, MsgIcon icon, const QString &caption,
                     int defaultButton = 1);

    // The same box with a check box under its text; see MsgCheckBox.
    MsgAnswer MsgBox(const QString &text, MsgButtons buttons, MsgIcon icon, const QString &caption,
                     int defaultButton, MsgCheckBox &checkBox);

    // Shows a prompt with OK and Cancel. The answer is stripped of leading and trailing spaces;
    // Cancel answers empty text.
    QString InputBox(const QString &prompt, const QString &caption, const QString &defaultText = QString());
    // The same, for prompts where an empty answer means something: Cancel answers nothing at all.
    std::optional<QString> InputBoxOrCancel(const QString &prompt, const QString &caption,
                                            const QString &defaultText = QString());

    // Asks where to save a file, offering `suggestedPath`; `filter` as a file dialog takes it, such
    // as "PDF documents (*.pdf)". Empty when the user cancels.
    QString SaveFileName(const QString &caption, const QString &suggestedPath, const QString &filter);

protected:
    virtual MsgAnswer showMessage(const QString &text, MsgButtons buttons, MsgIcon icon,
                                  const QString &caption, int defaultButton) = 0;
    // A responder that shows no check boxes shows the plain box and leaves the check box's state.
    virtual MsgAnswer showMessageWithCheckBox(const QString &text, MsgButtons buttons, MsgIcon icon,
                                              const QString &caption, int defaultButton,
                                              MsgCheckBox &checkBox);
    // Returns the text as typed (empty, but not null, when the user left it empty), or a null
    // string for Cancel.
    virtual QString askText(const QString &prompt, const QString &caption, const QString &defaultText) = 0;
    // A responder that shows no file dialogs answers as if it was cancelled.
    virtual QString askSaveFileName(const QString &caption, const QString &suggestedPath,
                                    const QString &filter);
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
