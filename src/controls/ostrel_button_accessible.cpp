#include "controls/ostrel_button_accessible.h"

#include "controls/ostrel_button.h"

#include <QKeySequence>

namespace brivamo {

namespace {

QAccessibleInterface *buttonAccessibleFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String(OstrelButton::staticMetaObject.className()))
        if (auto *button = qobject_cast<OstrelButton *>(object))
            return new OstrelButtonAccessible(button);
    return nullptr;
}

} // namespace

QString SpokenCaption(const QString &caption)
{
    QString spoken;
    spoken.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const QChar c = caption[i];
        if (c == u'&') {
            if (i + 1 < caption.size() && caption[i + 1] == u'&')
                spoken += caption[++i];
            continue;
        }
        spoken += c;
    }
    return spoken.simplified();
}

void InstallButtonAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(buttonAccessibleFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

OstrelButtonAccessible::OstrelButtonAccessible(OstrelButton *button)
    : QAccessibleWidget(button, QAccessible::Button)
{
}

OstrelButton *OstrelButtonAccessible::button() const
{
    return static_cast<OstrelButton *>(widget());
}

QString OstrelButtonAccessible::accessKeySequence() const
{
    const auto key = button()->accessKey();
    if (!key)
        return {};
    return QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(key->toUpper().unicode())))
        .toString(QKeySequence::NativeText);
}

QString OstrelButtonAccessible::text(QAccessible::Text t) const
{
    // A name or description the window set on purpose wins over the derived ones.
    switch (t) {
    case QAccessible::Name:
        if (!widget()->accessibleName().isEmpty())
            return widget()->accessibleName();
        if (const QString spoken = SpokenCaption(button()->Caption()); !spoken.isEmpty())
            return spoken;
        // A picture-only button is best named by what its tip says it does.
        return widget()->toolTip().trimmed();
    case QAccessible::Description:
        if (!widget()->accessibleDescription().isEmpty())
            return widget()->accessibleDescription();
        return widget()->toolTip().trimmed();
    case QAccessible::Accelerator:
        return accessKeySequence();
    default:
        return QAccessibleWidget::text(t);
    }
}

QAccessible::State OstrelButtonAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.disabled = !button()->Enabled() || !widget()->isEnabled();
    s.defaultButton = button()->defaultLook();
    if (button()->CheckBoxBehaviour()) {
        s.checkable = true;
        s.checked = button()->Value();
    }
    return s;
}

QStringList OstrelButtonAccessible::actionNames() const
{
    QStringList names = QAccessibleWidget::actionNames();
    if (button()->Enabled())
        names.prepend(pressAction());
    return names;
}

void OstrelButtonAccessible::doAction(const QString &actionName)
{
    // The access-key path: the same Enabled check and the same Click as the keyboard gives. It runs
    // from the event loop, as a key press would: Click handlers may fade or open a modal window, and
    // the screen reader waiting for this call's answer must not wait for them.
    if (actionName == pressAction())
        QMetaObject::invokeMethod(button(), &OstrelButton::AccessKeyPress, Qt::QueuedConnection);
    else
        QAccessibleWidget::doAction(actionName);
}

QStringList OstrelButtonAccessible::keyBindingsForAction(const QString &actionName) const
{
    if (actionName == pressAction()) {
        const QString sequence = accessKeySequence();
        return sequence.isEmpty() ? QStringList() : QStringList{sequence};
    }
    return QAccessibleWidget::keyBindingsForAction(actionName);
}

} // namespace brivamo
