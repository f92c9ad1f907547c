#include "common/scripted_dialogs.h"
#include "platform/dialogs_qt.h"

#include <QCheckBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QtMath>
#include <QtTest>

using namespace brivamo;

Q_DECLARE_METATYPE(brivamo::MsgButtons)
Q_DECLARE_METATYPE(brivamo::MsgAnswer)

class TestDialogs : public QObject
{
    Q_OBJECT

    // Runs `inspect` on the dialog once it is open (the real boxes block until closed).
    template <class Dialog> void whenOpen(std::function<void(Dialog *)> inspect)
    {
        QTimer::singleShot(0, this, [this, inspect] {
            auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
            if (!dialog) {
                whenOpen<Dialog>(inspect); // not up yet; look again
                return;
            }
            inspect(dialog);
        });
    }

private slots:
    void inputAnswersAreStrippedOfSpaces_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("answer");
        QTest::newRow("plain") << "ZEBRA"
                               << "ZEBRA";
        QTest::newRow("padded") << "  zebra  "
                                << "zebra";
        QTest::newRow("inner spaces kept") << " two words "
                                           << "two words";
        QTest::newRow("only spaces") << "   "
                                     << "";
        QTest::newRow("cancel") << QString() << "";
    }
    void inputAnswersAreStrippedOfSpaces()
    {
        QFETCH(QString, typed);
        QFETCH(QString, answer);
        ScriptedDialogs scripted;
        scripted.queueInput(typed);
        QCOMPARE(dialogs().InputBox(QStringLiteral("Name?"), QStringLiteral("New"), QStringLiteral("X")),
                 answer);
        QCOMPARE(scripted.count(), 1);
        QCOMPARE(scripted.last().kind, ScriptedDialogs::Call::Input);
        QCOMPARE(scripted.last().text, QStringLiteral("Name?"));
        QCOMPARE(scripted.last().defaultText, QStringLiteral("X"));
    }

    void scriptRecordsCallsAndAnswersInOrder()
    {
        ScriptedDialogs scripted;
        scripted.queueMessage(MsgAnswer::No);
        scripted.queueMessage(MsgAnswer::Ok);
        QCOMPARE(dialogs().MsgBox(QStringLiteral("Delete?"), MsgButtons::YesNo, MsgIcon::Question,
                                  QStringLiteral("Confirm"), 2),
                 MsgAnswer::No);
        QCOMPARE(dialogs().MsgBox(QStringLiteral("Done"), MsgButtons::OkOnly, MsgIcon::Information,
                                  QStringLiteral("Info"), 3),
                 MsgAnswer::Ok);
        QCOMPARE(scripted.count(), 2);
        const ScriptedDialogs::Call &first = scripted.calls().at(0);
        QCOMPARE(first.caption, QStringLiteral("Confirm"));
        QCOMPARE(first.buttons, MsgButtons::YesNo);
        QCOMPARE(first.icon, MsgIcon::Question);
        QCOMPARE(first.defaultButton, 2);
        // A default button beyond the box's buttons falls back to its last one.
        QCOMPARE(scripted.calls().at(1).defaultButton, 1);
        QCOMPARE(scripted.pendingAnswers(), 0);
    }

    void scriptedResponderRestoresThePreviousOne()
    {
        ScriptedDialogs outer;
        {
            ScriptedDialogs inner;
            inner.queueMessage(MsgAnswer::Yes);
            dialogs().MsgBox(QStringLiteral("a"), MsgButtons::YesNo, MsgIcon::Question, QStringLiteral("c"));
            QCOMPARE(inner.count(), 1);
        }
        outer.queueMessage(MsgAnswer::Ok);
        dialogs().MsgBox(QStringLiteral("b"), MsgButtons::OkOnly, MsgIcon::None, QStringLiteral("c"));
        QCOMPARE(outer.count(), 1);
    }

    void lineBreaksForDisplay()
    {
        QCOMPARE(toDisplayLineBreaks(QStringLiteral("a\r\nb\r\n\r\nc\rd")), QStringLiteral("a\nb\n\nc\nd"));
    }

    // The real message box: caption, icon, plain text with line breaks, buttons, default and Esc.
    void realMessageBox_data()
    {
        QTest::addColumn<MsgButtons>("buttons");
        QTest::addColumn<int>("defaultButton");
        QTest::addColumn<int>("key");
        QTest::addColumn<MsgAnswer>("answer");
        QTest::newRow("ok enter") << MsgButtons::OkOnly << 1 << int(Qt::Key_Return) << MsgAnswer::Ok;
        QTest::newRow("ok esc") << MsgButtons::OkOnly << 1 << int(Qt::Key_Escape) << MsgAnswer::Ok;
        QTest::newRow("yes/no default no") << MsgButtons::YesNo << 2 << int(Qt::Key_Return) << MsgAnswer::No;
        QTest::newRow("yes/no default yes")
            << MsgButtons::YesNo << 1 << int(Qt::Key_Return) << MsgAnswer::Yes;
        QTest::newRow("yes/no esc") << MsgButtons::YesNo << 1 << int(Qt::Key_Escape) << MsgAnswer::No;
        QTest::newRow("yes/no/cancel esc")
            << MsgButtons::YesNoCancel << 1 << int(Qt::Key_Escape) << MsgAnswer::Cancel;
    }
    void realMessageBox()
    {
        QFETCH(MsgButtons, buttons);
        QFETCH(int, defaultButton);
        QFETCH(int, key);
        QFETCH(MsgAnswer, answer);
        QtDialogs real;
        QString title;
        QString text;
        QImage picture;
        int buttonCount = 0;
        bool active = false;
        QWidget *focused = nullptr, *defaultPush = nullptr;
        QPoint offCentre;
        whenOpen<QMessageBox>([&](QMessageBox *box) {
            title = box->windowTitle();
            text = box->text();
            picture = box->iconPixmap().toImage();
            buttonCount = int(box->buttons().size());
            // With no window under it, the box stands alone: centred, active, the keys its own.
            active = QTest::qWaitFor([box] { return box->isActiveWindow(); }, 10000);
            focused = QApplication::focusWidget();
            defaultPush = box->defaultButton();
            offCentre = box->frameGeometry().center() - box->screen()->availableGeometry().center();
            QTest::keyClick(focused ? focused : box, Qt::Key(key));
        });
        const MsgAnswer got = real.MsgBox(QStringLiteral("<b>First</b>\r\nsecond"), buttons,
                                          MsgIcon::Critical, QStringLiteral("Terminating..."), defaultButton);
        QCOMPARE(got, answer);
        QCOMPARE(title, QStringLiteral("Terminating..."));
        QCOMPARE(text, QStringLiteral("<b>First</b>\nsecond"));
        // Our own critical picture, drawn for the box's scale: a red disc.
        QCOMPARE(picture.width(), qCeil(QApplication::style()->pixelMetric(QStyle::PM_MessageBoxIconSize) *
                                        picture.devicePixelRatio()));
        QCOMPARE(picture.pixelColor(picture.width() / 2, picture.height() / 5).name(),
                 QStringLiteral("#e6483d"));
        QCOMPARE(buttonCount, brivamo::buttonCount(buttons));
        QVERIFY(active);
        QCOMPARE(focused, defaultPush);
        QVERIFY(offCentre.manhattanLength() <= 2);
    }

    // A name of 248 letters (a hand-named list) wraps inside the box, which stays within the screen.
    void longNamesWrapWithinTheScreen_data()
    {
        QTest::addColumn<bool>("input");
        QTest::newRow("message box") << false;
        QTest::newRow("input box") << true;
    }
    void longNamesWrapWithinTheScreen()
    {
        QFETCH(bool, input);
        const QString name(248, u'W');
        const QString text =
            QStringLiteral("The word list \"%1\" could not be saved.\r\n\r\nFile name too long").arg(name);
        QtDialogs real;
        int width = 0;
        int screenWidth = 0;
        QString shown;
        const auto inspect = [&](QDialog *dialog) {
            width = dialog->frameGeometry().width();
            screenWidth = dialog->screen()->availableGeometry().width();
            if (auto *label = dialog->findChild<QLabel *>(QStringLiteral("qt_msgbox_label")))
                shown = label->text();
            else if (auto *prompt = dialog->findChild<QLabel *>())
                shown = prompt->text();
            QTest::keyClick(dialog, Qt::Key_Escape);
        };
        if (input) {
            whenOpen<QInputDialog>(inspect);
            real.InputBox(text, QStringLiteral("Rename"), QString());
        } else {
            whenOpen<QMessageBox>(inspect);
            real.MsgBox(text, MsgButtons::OkOnly, MsgIcon::Critical, QStringLiteral("Error"));
        }
        QVERIFY2(width > 0 && width <= screenWidth,
                 qPrintable(QStringLiteral("%1 > %2").arg(width).arg(screenWidth)));
        // Only invisible break opportunities were added.
        QCOMPARE(QString(shown).remove(QChar(0x200B)), toDisplayLineBreaks(text));
    }

    // The real message box's check box: shown with its caption and state under the text, and
    // read back as the user left it.
    void realMessageBoxCheckBox()
    {
        QtDialogs real;
        QString shownText;
        bool shownChecked = true;
        whenOpen<QMessageBox>([&](QMessageBox *box) {
            if (QCheckBox *check = box->checkBox()) {
                shownText = check->text();
                shownChecked = check->isChecked();
                check->click();
            }
            QTest::keyClick(box, Qt::Key_Escape);
        });
        MsgCheckBox checkBox{QStringLiteral("&Outline the words"), false};
        QCOMPARE(real.MsgBox(QStringLiteral("Also?"), MsgButtons::YesNoCancel, MsgIcon::Question,
                             QStringLiteral("Brivamo"), 1, checkBox),
                 MsgAnswer::Cancel);
        QCOMPARE(shownText, QStringLiteral("&Outline the words"));
        QVERIFY(!shownChecked);
        QVERIFY(checkBox.checked);
    }

    // An answer left empty is an answer (InputBoxOrCancel tells it from Cancel).
    void realInputBox_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::newRow("ok") << true << "  CATS " << std::optional<QString>("CATS");
        QTest::newRow("emptied") << true << "  " << std::optional<QString>("");
        QTest::newRow("cancel") << false << "CATS" << std::optional<QString>();
    }
    void realInputBox()
    {
        QFETCH(bool, accept);
        QFETCH(QString, typed);
        QFETCH(std::optional<QString>, answer);
        QtDialogs real;
        QString title;
        QString shownDefault;
        whenOpen<QInputDialog>([&](QInputDialog *dialog) {
            title = dialog->windowTitle();
            shownDefault = dialog->textValue();
            auto *edit = dialog->findChild<QLineEdit *>();
            edit->selectAll();
            QTest::keyClicks(edit, typed);
            QTest::keyClick(edit, accept ? Qt::Key_Return : Qt::Key_Escape);
        });
        QCOMPARE(real.InputBoxOrCancel(QStringLiteral("Category name:"), QStringLiteral("New Category"),
                                       QStringLiteral("DOGS")),
                 answer);
        QCOMPARE(title, QStringLiteral("New Category"));
        QCOMPARE(shownDefault, QStringLiteral("DOGS"));
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
