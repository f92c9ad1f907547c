// What a screen reader finds of the owner-drawn button, asked the way one asks.
#include "controls/ostrel_button.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QtTest>

using namespace brivamo;

class TestButtonAccessibility : public QObject
{
    Q_OBJECT

    static QAccessibleInterface *accessible(QObject *object)
    {
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(object);
        if (!face)
            qWarning("no accessible interface");
        return face;
    }

private slots:
    void nameDescriptionAndShortcut_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("toolTip");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shortcut");
        QTest::newRow("access key") << "&Make Puzzle"
                                    << " Be sure your printer is ready! "
                                    << "Make Puzzle"
                                    << "Alt+M";
        QTest::newRow("literal ampersand, key after it") << "Save && &Quit"
                                                         << ""
                                                         << "Save & Quit"
                                                         << "Alt+Q";
        QTest::newRow("two lines") << "Add a\r\nNew &Word"
                                   << ""
                                   << "Add a New Word"
                                   << "Alt+W";
        // The button's own rule looks at the first two ampersands only: no access key here.
        QTest::newRow("third ampersand ignored") << "A&&B&&C&D"
                                                 << ""
                                                 << "A&B&CD"
                                                 << "";
        QTest::newRow("picture only: the tip names it") << ""
                                                        << " Need a little information? "
                                                        << "Need a little information?"
                                                        << "";
    }
    void nameDescriptionAndShortcut()
    {
        QFETCH(QString, caption);
        QFETCH(QString, toolTip);
        QFETCH(QString, name);
        QFETCH(QString, shortcut);
        QWidget window;
        auto *button = new OstrelButton(&window);
        button->setCaption(caption);
        button->setToolTip(toolTip);

        QAccessibleInterface *face = accessible(button);
        QVERIFY(face);
        QCOMPARE(face->role(), QAccessible::Button);
        QCOMPARE(face->text(QAccessible::Name), name);
        QCOMPARE(face->text(QAccessible::Description), toolTip.trimmed());
        QCOMPARE(face->text(QAccessible::Accelerator), shortcut);
        QAccessibleActionInterface *actions = face->actionInterface();
        QVERIFY(actions);
        QCOMPARE(actions->keyBindingsForAction(QAccessibleActionInterface::pressAction()),
                 shortcut.isEmpty() ? QStringList() : QStringList{shortcut});
    }

    void statesAndPressAction()
    {
        QWidget window;
        window.resize(300, 200);
        auto *button = new OstrelButton(&window);
        button->setGeometry(20, 20, 140, 60);
        button->setCaption(QStringLiteral("&Continue"));
        auto *other = new OstrelButton(&window);
        other->setGeometry(20, 100, 140, 60);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QSignalSpy clicks(button, &OstrelButton::Click);
        QAccessibleInterface *face = accessible(button);
        QVERIFY(face);
        QAccessibleActionInterface *actions = face->actionInterface();
        QVERIFY(actions);
        const QString press = QAccessibleActionInterface::pressAction();

        other->setFocus();
        QAccessible::State s = face->state();
        QVERIFY(s.focusable && !s.focused && !s.disabled && !s.defaultButton && !s.checkable);
        button->setFocus();
        button->setDefaultLook(true);
        s = face->state();
        QVERIFY(s.focused && s.defaultButton);

        // Pressing clicks once, the way the access key does, from the event loop: the caller is
        // answered before any Click handler runs.
        QVERIFY(actions->actionNames().contains(press));
        actions->doAction(press);
        QCOMPARE(clicks.size(), 0);
        QTRY_COMPARE(clicks.size(), 1);

        // A disabled button is unavailable and its press does nothing.
        button->setEnabled(false);
        QVERIFY(face->state().disabled);
        QVERIFY(!actions->actionNames().contains(press));
        actions->doAction(press);
        QCoreApplication::processEvents();
        QCOMPARE(clicks.size(), 1);

        // A toggle button reports whether it is down.
        button->setEnabled(true);
        button->setCheckBoxBehaviour(true);
        actions->doAction(press);
        QTRY_COMPARE(clicks.size(), 2);
        s = face->state();
        QVERIFY(s.checkable && s.checked);
    }

    void newButtonIsNamedAfterItsObject()
    {
        QWidget window;
        auto *button = new OstrelButton(&window);
        QCOMPARE(QString::fromLatin1(
                     button->metaObject()
                         ->classInfo(button->metaObject()->indexOfClassInfo("ProgrammaticIdentifier"))
                         .value()),
                 QStringLiteral("Brivamo.OstrelButton"));
        QAccessibleInterface *face = accessible(button);
        QVERIFY(face);

        // The host names a new button after making it; the caption takes the name.
        button->setObjectName(QStringLiteral("cmdMakePuzzle"));
        QCOMPARE(button->Caption(), QStringLiteral("cmdMakePuzzle"));
        QCOMPARE(face->text(QAccessible::Name), QStringLiteral("cmdMakePuzzle"));
        // Once a caption is set (or read from the stored definition) a rename leaves it alone.
        button->setCaption(QStringLiteral("&Make"));
        button->setObjectName(QStringLiteral("cmdOther"));
        QCOMPARE(face->text(QAccessible::Name), QStringLiteral("Make"));
        auto *stored = new OstrelButton(&window);
        stored->ReadProperties(PropertyStore());
        stored->setObjectName(QStringLiteral("cmdStored"));
        QCOMPARE(stored->Caption(), QString());
    }
};

QTEST_MAIN(TestButtonAccessibility)
#include "tst_button_accessibility.moc"
