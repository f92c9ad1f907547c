#pragma once

#include "platform/dialogs.h"

#include <QList>
#include <QQueue>
#include <QString>

#include <functional>
#include <optional>

// A dialogs responder for tests: installs itself for its lifetime, records every message and
// input box, and answers each with the next queued answer of its kind. A box with no answer
// queued aborts the test with the box's caption and text, so an unexpected dialog never hangs.
//
//   ScriptedDialogs dialogs;
//   dialogs.queueMessage(brivamo::MsgAnswer::Yes);
//   dialogs.queueInput(QStringLiteral("  ZEBRA "));   // InputBox answers "ZEBRA"
//   dialogs.queueMessage(brivamo::MsgAnswer::Yes, true); // and ticks the box's check box
//   dialogs.queueSaveFile(QStringLiteral("/tmp/out.pdf"));
//   ... run the code ...
//   QCOMPARE(dialogs.calls().at(0).caption, QStringLiteral("Error"));
class ScriptedDialogs : public brivamo::Dialogs
{
public:
    struct Call
    {
        enum Kind { Message, Input, SaveFile } kind = Message;
        QString text; // the message, the input box's prompt, or the file dialog's filter
        QString caption;
        brivamo::MsgButtons buttons = brivamo::MsgButtons::OkOnly;
        brivamo::MsgIcon icon = brivamo::MsgIcon::None;
        int defaultButton = 1;
        QString defaultText; // input boxes: the text offered; file dialogs: the path offered
        // Message boxes with a check box: its caption and its state as the box opened.
        std::optional<brivamo::MsgCheckBox> checkBox;
    };

    ScriptedDialogs();
    ~ScriptedDialogs() override;
    ScriptedDialogs(const ScriptedDialogs &) = delete;
    ScriptedDialogs &operator=(const ScriptedDialogs &) = delete;

    void queueMessage(brivamo::MsgAnswer answer);
    // Answers a box that has a check box, leaving the check box ticked or not (a box without one
    // aborts the test).
    void queueMessage(brivamo::MsgAnswer answer, bool checked);
    // The text as if typed; a null QString stands for Cancel.
    void queueInput(const QString &typed);
    void queueInputCancel() { queueInput(QString()); }
    // The path as if chosen in a file dialog; an empty one stands for Cancel.
    void queueSaveFile(const QString &path);

    // Runs while each box is "open", after it is recorded (e.g. to check the state behind it).
    void setOnShow(std::function<void(const Call &)> hook) { m_onShow = std::move(hook); }

    const QList<Call> &calls() const { return m_calls; }
    int count() const { return int(m_calls.size()); }
    const Call &last() const { return m_calls.last(); }
    void clearCalls() { m_calls.clear(); }
    // Answers queued but not used yet.
    int pendingAnswers() const
    {
        return int(m_messageAnswers.size() + m_inputAnswers.size() + m_fileAnswers.size());
    }

protected:
    brivamo::MsgAnswer showMessage(const QString &text, brivamo::MsgButtons buttons, brivamo::MsgIcon icon,
                                   const QString &caption, int defaultButton) override;
    brivamo::MsgAnswer showMessageWithCheckBox(const QString &text, brivamo::MsgButtons buttons,
                                               brivamo::MsgIcon icon, const QString &caption,
                                               int defaultButton, brivamo::MsgCheckBox &checkBox) override;
    QString askText(const QString &prompt, const QString &caption, const QString &defaultText) override;
    QString askSaveFileName(const QString &caption, const QString &suggestedPath,
                            const QString &filter) override;

private:
    struct MessageAnswer
    {
        brivamo::MsgAnswer answer;
        std::optional<bool> checked;
    };
    MessageAnswer nextMessageAnswer(const Call &call);

    brivamo::Dialogs *m_previous = nullptr;
    QList<Call> m_calls;
    QQueue<MessageAnswer> m_messageAnswers;
    QQueue<QString> m_inputAnswers;
    QQueue<QString> m_fileAnswers;
    std::function<void(const Call &)> m_onShow;
};
