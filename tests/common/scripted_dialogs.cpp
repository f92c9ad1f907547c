#include "scripted_dialogs.h"

#include <QtGlobal>

using namespace brivamo;

ScriptedDialogs::ScriptedDialogs() : m_previous(setDialogs(this)) {}

ScriptedDialogs::~ScriptedDialogs()
{
    setDialogs(m_previous);
}

void ScriptedDialogs::queueMessage(MsgAnswer answer)
{
    m_messageAnswers.enqueue({answer, std::nullopt});
}

void ScriptedDialogs::queueMessage(MsgAnswer answer, bool checked)
{
    m_messageAnswers.enqueue({answer, checked});
}

void ScriptedDialogs::queueSaveFile(const QString &path)
{
    m_fileAnswers.enqueue(path);
}

void ScriptedDialogs::queueInput(const QString &typed)
{
    m_inputAnswers.enqueue(typed);
}

MsgAnswer ScriptedDialogs::showMessage(const QString &text, MsgButtons buttons, MsgIcon icon,
                                       const QString &caption, int defaultButton)
{
    m_calls.append(Call{Call::Message, text, caption, buttons, icon, defaultButton, QString(), std::nullopt});
    const MessageAnswer next = nextMessageAnswer(m_calls.last());
    if (next.checked)
        qFatal("ScriptedDialogs: message box \"%s\" has no check box to tick", qPrintable(caption));
    return next.answer;
}

MsgAnswer ScriptedDialogs::showMessageWithCheckBox(const QString &text, MsgButtons buttons, MsgIcon icon,
                                                   const QString &caption, int defaultButton,
                                                   MsgCheckBox &checkBox)
{
    m_calls.append(Call{Call::Message, text, caption, buttons, icon, defaultButton, QString(), checkBox});
    const MessageAnswer next = nextMessageAnswer(m_calls.last());
    if (next.checked)
        checkBox.checked = *next.checked;
    return next.answer;
}

ScriptedDialogs::MessageAnswer ScriptedDialogs::nextMessageAnswer(const Call &call)
{
    if (m_onShow)
        m_onShow(call);
    if (m_messageAnswers.isEmpty())
        qFatal("ScriptedDialogs: unexpected message box \"%s\": \"%s\" (no answer queued)",
               qPrintable(call.caption), qPrintable(call.text));
    return m_messageAnswers.dequeue();
}

QString ScriptedDialogs::askText(const QString &prompt, const QString &caption, const QString &defaultText)
{
    m_calls.append(Call{Call::Input, prompt, caption, MsgButtons::OkCancel, MsgIcon::None, 1, defaultText,
                        std::nullopt});
    if (m_onShow)
        m_onShow(m_calls.last());
    if (m_inputAnswers.isEmpty())
        qFatal("ScriptedDialogs: unexpected input box \"%s\": \"%s\" (no answer queued)", qPrintable(caption),
               qPrintable(prompt));
    return m_inputAnswers.dequeue();
}

QString ScriptedDialogs::askSaveFileName(const QString &caption, const QString &suggestedPath,
                                         const QString &filter)
{
    m_calls.append(Call{Call::SaveFile, filter, caption, MsgButtons::OkCancel, MsgIcon::None, 1,
                        suggestedPath, std::nullopt});
    if (m_onShow)
        m_onShow(m_calls.last());
    if (m_fileAnswers.isEmpty())
        qFatal("ScriptedDialogs: unexpected file dialog \"%s\" (no answer queued)", qPrintable(caption));
    return m_fileAnswers.dequeue();
}
