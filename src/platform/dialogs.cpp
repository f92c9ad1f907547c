#include "platform/dialogs.h"

#include <QList>
#include <QtGlobal>

namespace brivamo {

namespace {
Dialogs *s_dialogs = nullptr;
}

MsgAnswer Dialogs::MsgBox(const QString &text, MsgButtons buttons, MsgIcon icon, const QString &caption,
                          int defaultButton)
{
    return showMessage(text, buttons, icon, caption, qBound(1, defaultButton, buttonCount(buttons)));
}

MsgAnswer Dialogs::MsgBox(const QString &text, MsgButtons buttons, MsgIcon icon, const QString &caption,
                          int defaultButton, MsgCheckBox &checkBox)
{
    return showMessageWithCheckBox(text, buttons, icon, caption,
                                   qBound(1, defaultButton, buttonCount(buttons)), checkBox);
}

QString Dialogs::InputBox(const QString &prompt, const QString &caption, const QString &defaultText)
{
    return stripSpaces(askText(prompt, caption, defaultText));
}

std::optional<QString> Dialogs::InputBoxOrCancel(const QString &prompt, const QString &caption,
                                                 const QString &defaultText)
{
    const QString typed = askText(prompt, caption, defaultText);
    if (typed.isNull())
        return std::nullopt;
    return stripSpaces(typed);
}

QString Dialogs::SaveFileName(const QString &caption, const QString &suggestedPath, const QString &filter)
{
    return askSaveFileName(caption, suggestedPath, filter);
}

MsgAnswer Dialogs::showMessageWithCheckBox(const QString &text, MsgButtons buttons, MsgIcon icon,
                                           const QString &caption, int defaultButton, MsgCheckBox &)
{
    return showMessage(text, buttons, icon, caption, defaultButton);
}

QString Dialogs::askSaveFileName(const QString &, const QString &, const QString &)
{
    return QString();
}

Dialogs &dialogs()
{
    if (!s_dialogs)
        qFatal("brivamo::dialogs(): no dialogs responder is installed (tests: create a ScriptedDialogs)");
    return *s_dialogs;
}

Dialogs *setDialogs(Dialogs *responder)
{
    Dialogs *previous = s_dialogs;
    s_dialogs = responder;
    return previous;
}

QList<MsgAnswer> buttonAnswers(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::OkOnly:
        return {MsgAnswer::Ok};
    case MsgButtons::OkCancel:
        return {MsgAnswer::Ok, MsgAnswer::Cancel};
    case MsgButtons::AbortRetryIgnore:
        return {MsgAnswer::Abort, MsgAnswer::Retry, MsgAnswer::Ignore};
    case MsgButtons::YesNoCancel:
        return {MsgAnswer::Yes, MsgAnswer::No, MsgAnswer::Cancel};
    case MsgButtons::YesNo:
        return {MsgAnswer::Yes, MsgAnswer::No};
    case MsgButtons::RetryCancel:
        return {MsgAnswer::Retry, MsgAnswer::Cancel};
    }
    return {MsgAnswer::Ok};
}

int buttonCount(MsgButtons buttons)
{
    return int(buttonAnswers(buttons).size());
}

QString stripSpaces(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

QString toDisplayLineBreaks(const QString &text)
{
    QString result = text;
    result.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}

} // namespace brivamo
