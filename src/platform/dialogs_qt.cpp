#include "platform/dialogs_qt.h"

#include "platform/window_activation.h"

#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QSvgRenderer>
#include <QTimer>
#include <QWindow>
#include <QtMath>

namespace brivamo {

namespace {

QMessageBox::StandardButton standardButton(MsgAnswer answer)
{
    switch (answer) {
    case MsgAnswer::Ok:
        return QMessageBox::Ok;
    case MsgAnswer::Cancel:
        return QMessageBox::Cancel;
    case MsgAnswer::Abort:
        return QMessageBox::Abort;
    case MsgAnswer::Retry:
        return QMessageBox::Retry;
    case MsgAnswer::Ignore:
        return QMessageBox::Ignore;
    case MsgAnswer::Yes:
        return QMessageBox::Yes;
    case MsgAnswer::No:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

// The box's picture for `icon`, drawn from our own vector pictures at the box's scale: Qt's
// built-in ones are small bitmaps that come out blocky when a desktop doubles them. Null for none.
QPixmap messagePicture(MsgIcon icon, const QWidget &box)
{
    QString name;
    switch (icon) {
    case MsgIcon::None:
        return {};
    case MsgIcon::Critical:
        name = QStringLiteral("critical");
        break;
    case MsgIcon::Question:
        name = QStringLiteral("question");
        break;
    case MsgIcon::Exclamation:
        name = QStringLiteral("warning");
        break;
    case MsgIcon::Information:
        name = QStringLiteral("information");
        break;
    }
    const int side = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
    const qreal ratio = box.devicePixelRatioF();
    QPixmap picture(QSize(qCeil(side * ratio), qCeil(side * ratio)));
    picture.fill(Qt::transparent);
    QSvgRenderer drawing(QStringLiteral(":/pictures/message_%1.svg").arg(name));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    drawing.render(&painter);
    painter.end();
    picture.setDevicePixelRatio(ratio);
    return picture;
}

// What closing the box without choosing a button answers.
MsgAnswer escapeAnswer(MsgButtons buttons)
{
    const QList<MsgAnswer> answers = buttonAnswers(buttons);
    if (answers.contains(MsgAnswer::Cancel))
        return MsgAnswer::Cancel;
    return answers.last();
}

// A label wraps only where a line may break, and a long name (a hand-named list of 248 letters) has
// no such place: a zero-width space every few letters gives it some, so the box keeps to the screen.
QString withBreakOpportunities(const QString &text)
{
    constexpr int LongestUnbroken = 30;
    QString result;
    result.reserve(text.size() + text.size() / LongestUnbroken);
    int run = 0;
    for (const QChar c : text) {
        run = c.isSpace() ? 0 : run + 1;
        if (run > LongestUnbroken) {
            result += QChar(0x200B);
            run = 1;
        }
        result += c;
    }
    return result;
}

// A box with no window of ours under it (the one message of a second start, or of a start that
// cannot go on) is a window of its own: centred on the screen the pointer is on and activated, so
// that Return answers it at once with the default button Qt focuses. The window manager is
// asked as well, since it may not give focus to a process the user did not just click.
class MessageBox : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent *event) override
    {
        QMessageBox::showEvent(event); // sizes the box
        if (parentWidget())
            return;
        QScreen *screen = QGuiApplication::screenAt(QCursor::pos());
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        if (screen) {
            // The frame counts where the platform knows it already.
            const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
            const QRect outer = rect().marginsAdded(frame);
            move(screen->availableGeometry().center() - outer.center() + outer.topLeft());
        }
        QTimer::singleShot(0, this, [this] {
            if (!isVisible()) // answered already
                return;
            // Centred again with the frame the window now has.
            if (QScreen *screen = this->screen())
                move(screen->availableGeometry().center() - QRect(QPoint(), frameGeometry().size()).center());
            // Wayland compositors focus a new window themselves and only warn about the request.
            if (QGuiApplication::platformName() != QLatin1String("wayland"))
                activateWindow();
            bringWindowForward(this);
        });
    }
};

// The message box, with a check box under its text when `checkBox` is given.
MsgAnswer showBox(const QString &text, MsgButtons buttons, MsgIcon icon, const QString &caption,
                  int defaultButton, MsgCheckBox *checkBox)
{
    MessageBox box(QApplication::activeWindow());
    box.setWindowTitle(caption);
    box.setTextFormat(Qt::PlainText);
    box.setText(withBreakOpportunities(toDisplayLineBreaks(text)));
    if (const QPixmap picture = messagePicture(icon, box); !picture.isNull())
        box.setIconPixmap(picture);

    const QList<MsgAnswer> answers = buttonAnswers(buttons);
    QList<QAbstractButton *> shown;
    for (MsgAnswer answer : answers)
        shown.append(box.addButton(standardButton(answer)));
    box.setDefaultButton(qobject_cast<QPushButton *>(shown.at(defaultButton - 1)));
    box.setEscapeButton(shown.at(answers.indexOf(escapeAnswer(buttons))));

    QCheckBox *check = nullptr;
    if (checkBox) {
        check = new QCheckBox(checkBox->text, &box);
        check->setChecked(checkBox->checked);
        box.setCheckBox(check);
    }

    box.exec();
    if (check)
        checkBox->checked = check->isChecked();
    const int index = int(shown.indexOf(box.clickedButton()));
    return index >= 0 ? answers.at(index) : escapeAnswer(buttons);
}

} // namespace

MsgAnswer QtDialogs::showMessage(const QString &text, MsgButtons buttons, MsgIcon icon,
                                 const QString &caption, int defaultButton)
{
    return showBox(text, buttons, icon, caption, defaultButton, nullptr);
}

MsgAnswer QtDialogs::showMessageWithCheckBox(const QString &text, MsgButtons buttons, MsgIcon icon,
                                             const QString &caption, int defaultButton, MsgCheckBox &checkBox)
{
    return showBox(text, buttons, icon, caption, defaultButton, &checkBox);
}

QString QtDialogs::askText(const QString &prompt, const QString &caption, const QString &defaultText)
{
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(caption);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setLabelText(withBreakOpportunities(toDisplayLineBreaks(prompt)));
    dialog.setTextValue(defaultText);
    // Prompts are plain text even when they happen to look like markup, and wrap rather than
    // widen the box past the screen.
    if (auto *label = dialog.findChild<QLabel *>()) {
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
    }
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    // An answer left empty is still an answer, not a Cancel.
    const QString typed = dialog.textValue();
    return typed.isNull() ? QStringLiteral("") : typed;
}

QString QtDialogs::askSaveFileName(const QString &caption, const QString &suggestedPath,
                                   const QString &filter)
{
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), caption, suggestedPath, filter);
}

} // namespace brivamo
