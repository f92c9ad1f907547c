#pragma once

#include <QAccessibleWidget>
#include <QString>

namespace brivamo {

class OstrelButton;

// What assistive technology sees of an OstrelButton: a push button named by its caption, described
// by its tool tip, with its access key as the shortcut and a press action that clicks it the way
// its access key does.
class OstrelButtonAccessible : public QAccessibleWidget
{
public:
    explicit OstrelButtonAccessible(OstrelButton *button);

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;

    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
    QStringList keyBindingsForAction(const QString &actionName) const override;

private:
    OstrelButton *button() const;
    QString accessKeySequence() const;
};

// The caption as it reads on the button: access-key markers dropped ("&&" stays one "&"), line
// breaks read as spaces.
QString SpokenCaption(const QString &caption);

// Makes every OstrelButton answer with an OstrelButtonAccessible. Safe to call more than once.
void InstallButtonAccessibility();

} // namespace brivamo
