#include "common/scripted_dialogs.h"
#include "controls/ostrel_button.h"
#include "lobby/frm_lobby.h"
#include "lobby_support.h"

#include <QLabel>
#include <QListWidget>
#include <QTest>

using namespace brivamo;

// How the lobby looks: colours, and every control inside the window without overlaps. With
// BRIVAMO_LOOK_DIR set, each state is also saved there as a PNG and left on screen for
// BRIVAMO_LOOK_WAIT milliseconds (for a screenshot of the whole screen).
class TestLobbyLook : public QObject
{
    Q_OBJECT

    static void capture(QWidget &window, const char *name)
    {
        const QString dir = qEnvironmentVariable("BRIVAMO_LOOK_DIR");
        if (dir.isEmpty())
            return;
        window.grab().save(dir + u'/' + QLatin1String(name) + QStringLiteral(".png"));
        QTest::qWait(qEnvironmentVariableIntValue("BRIVAMO_LOOK_WAIT"));
    }

    static QColor colourInside(QListWidget *list)
    {
        const QImage image = list->viewport()->grab().toImage();
        return image.pixelColor(image.width() - 3, image.height() - 3);
    }

    // Visible controls of the window (not the strip's own children) must not overlap, and every
    // one must lie inside the window.
    static void checkLayout(frmLobby &lobby)
    {
        QList<QWidget *> controls;
        for (QWidget *child : lobby.findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            if (child->isVisibleTo(&lobby) && !child->objectName().isEmpty())
                controls.append(child);
        for (QWidget *strip : lobby.picBox->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            if (strip->isVisibleTo(&lobby))
                QVERIFY2(lobby.picBox->rect().contains(strip->geometry()), qPrintable(strip->objectName()));
        for (QWidget *a : controls) {
            QVERIFY2(lobby.rect().contains(a->geometry()), qPrintable(a->objectName()));
            for (QWidget *b : controls)
                if (a != b)
                    QVERIFY2(!a->geometry().intersects(b->geometry()),
                             qPrintable(a->objectName() + QStringLiteral(" overlaps ") + b->objectName()));
        }
    }

private slots:
    void browsingAndCreating()
    {
        WorkingFolder folder;
        folder.writeList(QStringLiteral("ANIMALS.lst"), {"ELEPHANT", "GIRAFFE", "ZEBRA", "LION", "TIGER"});
        folder.writeList(QStringLiteral("MONTHS.lst"), {"JANUARY", "FEBRUARY", "MARCH"});
        ScriptedDialogs dialogs;
        frmLobby &lobby = form<frmLobby>();
        lobby.Show();
        QVERIFY(QTest::qWaitForWindowExposed(&lobby));

        QCOMPARE(colourInside(lobby.listCategories), QColor(255, 255, 192));
        QCOMPARE(colourInside(lobby.listWords), QColor(255, 255, 128));
        QCOMPARE(lobby.labelCategory->palette().color(QPalette::WindowText), QColor(0, 0, 0x40));
        QVERIFY(lobby.listCategories->font().bold());
        QVERIFY(!lobby.listWords->font().bold());
        QCOMPARE(lobby.cmdMakePuzzle->ButtonType(), ButtonStyle::Gradient);
        QCOMPARE(lobby.cmdQuit->ButtonType(), ButtonStyle::SeeThrough);
        QCOMPARE(lobby.cmdDeleteWord->PicturePosition(), PicturePlace::Right);
        QVERIFY(!lobby.cmdAddWord->PictureNormal().isNull());
        QCOMPARE(lobby.cmdAddWord->FontName(), QStringLiteral("Arial"));
        checkLayout(lobby);
        capture(lobby, "lobby_browsing");

        dialogs.queueInput(QStringLiteral("owl"));
        lobby.cmdAddCategory_Click();
        dialogs.queueInput(QStringLiteral("bat"));
        lobby.cmdNewAdd_Click();
        checkLayout(lobby);
        capture(lobby, "lobby_creating");
        destroyAllForms();
    }
};

QTEST_MAIN(TestLobbyLook)
#include "tst_lobby_look.moc"
