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
    m_messageAnswers.enqueue(answer);
}

void ScriptedDialogs::queueInput(const QString &typed)
{
    m_inputAnswers.enqueue(typed);
}

MsgAnswer ScriptedDialogs::showMessage(const QString &text, MsgButtons buttons, MsgIcon icon,
                                       const QString &caption, int defaultButton)
{
    m_calls.append(Call{Call::Message, text, caption, buttons, icon, defaultButton, QString()});
    if (m_onShow)
        m_onShow(m_calls.last());
    if (m_messageAnswers.isEmpty())
        qFatal("ScriptedDialogs: unexpected message box \"%s\": \"%s\" (no answer queued)",
               qPrintable(caption), qPrintable(text));
    return m_messageAnswers.dequeue();
}

QString ScriptedDialogs::askText(const QString &prompt, const QString &caption, const QString &defaultText)
{
    m_calls.append(Call{Call::Input, prompt, caption, MsgButtons::OkCancel, MsgIcon::None, 1, defaultText});
    if (m_onShow)
        m_onShow(m_calls.last());
    if (m_inputAnswers.isEmpty())
        qFatal("ScriptedDialogs: unexpected input box \"%s\": \"%s\" (no answer queued)", qPrintable(caption),
               qPrintable(prompt));
    return m_inputAnswers.dequeue();
}
