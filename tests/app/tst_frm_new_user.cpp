#include "app/frm_new_user.h"
#include "base/settings.h"
#include "common/clear_settings.h"
#include "controls/ostrel_button.h"
#include "help/help_texts.h"

#include <QCheckBox>
#include <QLabel>
#include <QSettings>
#include <QtTest>

using namespace brivamo;

class TestFrmNewUser : public QObject
{
    Q_OBJECT

private slots:
    void init() { clearSettings(); }

    void cleanup()
    {
        destroyAllForms();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void showsTheGreetingAndTheOverview()
    {
        frmNewUser &notice = form<frmNewUser>();
        notice.Show();
        QCOMPARE(notice.windowTitle(), QStringLiteral("Brivamo - New User Overview"));
        const QString expected =
            QStringLiteral("Welcome! Are you a new Brivamo user? Let's take a moment for a "
                           "quick overview...\n\n") +
            helpText(1000).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QCOMPARE(notice.lbl->text(), expected);
        QVERIFY(helpText(1000).startsWith(QStringLiteral("Brivamo is based on")));
        QCOMPARE(notice.check->text(), QStringLiteral("Don't show this notice again"));
        QVERIFY(!notice.check->isChecked());
        QCOMPARE(notice.cmdContinue->Caption(), QStringLiteral("&Continue"));
        QCOMPARE(notice.defaultButton(), notice.cmdContinue);
        QCOMPARE(notice.cancelButton(), notice.cmdContinue);
    }

    // The whole text fits the label; nothing is cut off at its bottom.
    void overviewFitsItsLabel()
    {
        frmNewUser &notice = form<frmNewUser>();
        notice.Show();
        QVERIFY(notice.lbl->heightForWidth(notice.lbl->width()) <= notice.lbl->height());
        QVERIFY(notice.check->sizeHint().width() <= notice.check->width());
    }

    // "NoShow" is stored only when the box is ticked; an unticked box leaves the store alone.
    void continueStoresTheChoice_data()
    {
        QTest::addColumn<QVariant>("before"); // null: nothing stored
        QTest::addColumn<bool>("tick");
        QTest::addColumn<int>("key");
        QTest::addColumn<QVariant>("after");
        QTest::newRow("unticked, Enter") << QVariant() << false << int(Qt::Key_Return) << QVariant();
        QTest::newRow("ticked, Enter") << QVariant() << true << int(Qt::Key_Return) << QVariant("NoShow");
        QTest::newRow("ticked, Esc") << QVariant() << true << int(Qt::Key_Escape) << QVariant("NoShow");
        QTest::newRow("unticked keeps another value")
            << QVariant("noshow") << false << int(Qt::Key_Escape) << QVariant("noshow");
        QTest::newRow("ticked replaces another value")
            << QVariant("noshow") << true << int(Qt::Key_Return) << QVariant("NoShow");
    }
    void continueStoresTheChoice()
    {
        QFETCH(QVariant, before);
        QFETCH(bool, tick);
        QFETCH(int, key);
        QFETCH(QVariant, after);
        if (!before.isNull())
            basBrivamo::writeNewUser(before.toString());

        bool wasModal = false;
        QTimer::singleShot(0, this, [&] {
            frmNewUser *notice = loadedForm<frmNewUser>();
            QVERIFY(notice);
            wasModal = notice->isShownModal();
            if (tick)
                QTest::keyClick(notice->check, Qt::Key_Space);
            QTest::keyClick(notice->check, Qt::Key(key));
        });
        form<frmNewUser>().ShowModal();

        QVERIFY(wasModal);
        QVERIFY(!loadedForm<frmNewUser>());
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, basBrivamo::SettingsApplication,
                        basBrivamo::SettingsApplication);
        QCOMPARE(store.value(QStringLiteral("Defaults/NewUser")), after);
    }

    // Each showing is a fresh window with the box unticked again.
    void reopenedNoticeStartsUnticked()
    {
        frmNewUser &first = form<frmNewUser>();
        first.Show();
        first.check->setChecked(true);
        first.cmdContinue->AccessKeyPress();
        QVERIFY(!loadedForm<frmNewUser>());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        frmNewUser &second = form<frmNewUser>();
        second.Show();
        QVERIFY(!second.check->isChecked());
    }
};

QTEST_MAIN(TestFrmNewUser)
#include "tst_frm_new_user.moc"
