#include "app/frm_new_user.h"
#include "app/frm_title_page.h"
#include "app/frm_title_page_texts.h"
#include "base/maker_info.h"
#include "base/settings.h"
#include "base/window_routines.h"
#include "common/clear_settings.h"
#include "common/recording_link_opener.h"
#include "common/scripted_dialogs.h"
#include "controls/ostrel_button.h"
#include "effects/fade.h"
#include "lobby/frm_lobby.h"

#include <QDir>
#include <QImageReader>
#include <QLabel>
#include <QMovie>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace brivamo;

namespace {

void storeNewUser(const QVariant &value)
{
    clearSettings();
    if (!value.isNull())
        basBrivamo::writeNewUser(value.toString());
}

} // namespace

class TestFrmTitlePage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The lobby reads and writes list files in the current folder.
        QVERIFY(m_lists.isValid());
        QVERIFY(QDir::setCurrent(m_lists.path()));
    }

    void init() { clearSettings(); }

    void cleanup()
    {
        destroyAllForms();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        modFadeInOut::FadeActive = false;
    }

    void versionParts_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("revision");
        QTest::addColumn<QString>("text");
        QTest::newRow("this version") << 4 << 48 << 19 << "Version w4.48.19";
        QTest::newRow("zero prints as nothing") << 0 << 5 << 0 << "Version w.5.";
        QTest::newRow("more digits than the pattern") << 123 << 7 << 20051 << "Version w123.7.20051";
    }
    void versionParts()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, revision);
        QFETCH(QString, text);
        QCOMPARE(versionLabelText(major, minor, revision), text);
    }

    void labelsShowTheProgramAndItsMaker_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("text");
        QTest::newRow("description") << "lblAppDescription"
                                     << "Word Puzzle Maker";
        QTest::newRow("version") << "lblVersion"
                                 << "Version w4.48.19";
        QTest::newRow("copyright") << "lblCopyright" << QString(QChar(169) + LegalNotice);
        QTest::newRow("maker") << "lblOstrelSoftware"
                               << "Ostrel Software";
        QTest::newRow("address") << "lblOstrelAddress"
                                 << QString(MakerAddressLine1 + '\n' + MakerAddressLine2);
        QTest::newRow("e-mail") << "lblOstrelContact1" << MakerEmail;
        QTest::newRow("web") << "lblOstrelContact2" << MakerWebAddress;
    }
    void labelsShowTheProgramAndItsMaker()
    {
        QFETCH(QString, label);
        QFETCH(QString, text);
        frmTitlePage &title = form<frmTitlePage>();
        title.Show();
        auto *shown = title.findChild<QLabel *>(label);
        QVERIFY(shown);
        QCOMPARE(shown->text(), text);
        QVERIFY(shown->isVisible());
    }

    void contactLabelsLookLikeLinks_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("tooltip");
        QTest::newRow("e-mail") << 1 << " Click here to Email Ostrel Software! ";
        QTest::newRow("web") << 2 << " Click here to visit Ostrel Software! ";
    }
    void contactLabelsLookLikeLinks()
    {
        QFETCH(int, index);
        QFETCH(QString, tooltip);
        frmTitlePage &title = form<frmTitlePage>();
        title.Show();
        QLabel *contact = title.lblOstrelContact(index);
        QVERIFY(contact);
        QCOMPARE(contact->toolTip(), tooltip);
        QCOMPARE(contact->cursor().shape(), Qt::PointingHandCursor);
    }

    void everyAnimationPlays()
    {
        frmTitlePage &title = form<frmTitlePage>();
        title.Show();
        for (int index = 0; index < frmTitlePage::AniGifCount; ++index) {
            QLabel *picture = title.AniGif(index);
            QVERIFY(picture);
            QMovie *movie = picture->movie();
            QVERIFY2(movie && movie->isValid(), qPrintable(QStringLiteral("AniGif %1").arg(index)));
            QVERIFY(movie->frameCount() > 1);
            QCOMPARE(movie->state(), QMovie::Running);
            // Each picture shows its animation at the animation's own size.
            QCOMPARE(picture->size(), movie->currentImage().size());
        }
        QVERIFY(!title.AniGif(frmTitlePage::AniGifCount));
    }

    // Where a picture lies under a neighbour, every frame of it is transparent there, so none
    // of its drawing is hidden.
    void overlappedPicturesHideNothing()
    {
        frmTitlePage &title = form<frmTitlePage>();
        title.Show();
        int overlaps = 0;
        for (int a = 0; a < frmTitlePage::AniGifCount; ++a)
            for (int b = 0; b < frmTitlePage::AniGifCount; ++b) {
                QLabel *under = title.AniGif(a);
                QLabel *over = title.AniGif(b);
                const QObjectList &stack = under->parentWidget()->children();
                if (a == b || stack.indexOf(over) < stack.indexOf(under) ||
                    !under->geometry().intersects(over->geometry()))
                    continue;
                ++overlaps;
                const QRect hidden =
                    under->geometry().intersected(over->geometry()).translated(-under->pos());
                QImageReader reader(QStringLiteral(":/pictures/title_anim_%1.gif").arg(a));
                for (int frame = 0; frame < reader.imageCount(); ++frame) {
                    const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
                    for (int y = hidden.top(); y <= hidden.bottom(); ++y)
                        for (int x = hidden.left(); x <= hidden.right(); ++x)
                            QVERIFY2(qAlpha(image.pixel(x, y)) == 0,
                                     qPrintable(QStringLiteral(
                                                    "picture %1 frame %2 at (%3, %4) lies under picture %5")
                                                    .arg(a)
                                                    .arg(frame)
                                                    .arg(x)
                                                    .arg(y)
                                                    .arg(b)));
                }
            }
        QCOMPARE(overlaps, 3); // the row's pictures 3, 5 and 6 under their right-hand neighbours
    }

    void continueIsTheDefaultAndCancelButton()
    {
        frmTitlePage &title = form<frmTitlePage>();
        title.Show();
        QCOMPARE(title.defaultButton(), title.cmdContinue);
        QCOMPARE(title.cancelButton(), title.cmdContinue);
        QCOMPARE(title.cmdContinue->Caption(), QStringLiteral("&Continue"));
    }

    // Continue shows the notice unless "NewUser" holds exactly "NoShow", then opens the lobby.
    void continueLeadsThroughTheNoticeToTheLobby_data()
    {
        QTest::addColumn<QVariant>("stored"); // null: no value stored
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("noticeShown");
        QTest::newRow("first run, Enter") << QVariant() << int(Qt::Key_Return) << true;
        QTest::newRow("first run, Esc") << QVariant() << int(Qt::Key_Escape) << true;
        QTest::newRow("NoShow, Enter") << QVariant("NoShow") << int(Qt::Key_Return) << false;
        QTest::newRow("NoShow, Esc") << QVariant("NoShow") << int(Qt::Key_Escape) << false;
        QTest::newRow("other letter case") << QVariant("noshow") << int(Qt::Key_Return) << true;
        QTest::newRow("trailing space") << QVariant("NoShow ") << int(Qt::Key_Return) << true;
        QTest::newRow("empty value") << QVariant("") << int(Qt::Key_Return) << true;
    }
    void continueLeadsThroughTheNoticeToTheLobby()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, key);
        QFETCH(bool, noticeShown);
        storeNewUser(stored);

        frmTitlePage &title = form<frmTitlePage>();
        title.Show();
        bool noticeSeen = false;
        bool titleBehindNotice = false;
        bool lobbyBeforeNotice = false;
        QTimer::singleShot(0, this, [&] {
            frmNewUser *notice = loadedForm<frmNewUser>();
            if (!notice)
                return;
            noticeSeen = notice->isVisible() && notice->isShownModal();
            titleBehindNotice = loadedForm<frmTitlePage>() != nullptr;
            lobbyBeforeNotice = loadedForm<frmLobby>() != nullptr;
            notice->cmdContinue->AccessKeyPress();
        });
        QTest::keyClick(&title, Qt::Key(key));

        QCOMPARE(noticeSeen, noticeShown);
        if (noticeShown) {
            QVERIFY(titleBehindNotice);
            QVERIFY(!lobbyBeforeNotice);
        }
        QVERIFY(!loadedForm<frmNewUser>());
        QVERIFY(!loadedForm<frmTitlePage>());
        frmLobby *lobby = loadedForm<frmLobby>();
        QVERIFY(lobby);
        QVERIFY(lobby->isVisible());
        QVERIFY(!lobby->isShownModal());
        // Leaving the notice unticked stores nothing.
        QCOMPARE(basBrivamo::readNewUser(), stored.toString());
    }

    // The contact labels open a message to the maker and the maker's web page; a click elsewhere
    // or with another button opens nothing.
    void contactLabelsOpenTheMakersLinks_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("button");
        QTest::addColumn<QStringList>("links");
        QTest::newRow("e-mail") << 1 << int(Qt::LeftButton) << QStringList{"mailto:" + MakerEmail};
        QTest::newRow("web page") << 2 << int(Qt::LeftButton) << QStringList{"http://" + MakerWebAddress};
        QTest::newRow("right button") << 1 << int(Qt::RightButton) << QStringList{};
    }
    void contactLabelsOpenTheMakersLinks()
    {
        QFETCH(int, index);
        QFETCH(int, button);
        QFETCH(QStringList, links);
        RecordingLinkOpener opener;
        ScriptedDialogs dialogs;
        frmTitlePage &title = form<frmTitlePage>();
        title.Show();
        QTest::mouseClick(title.lblOstrelContact(index), Qt::MouseButton(button));
        QCOMPARE(opener.links, links);
        QCOMPARE(dialogs.count(), 0);
        QVERIFY(loadedForm<frmTitlePage>());
    }

    void failedLinkSaysSoAndKeepsTheWindow()
    {
        RecordingLinkOpener opener;
        opener.succeed = false;
        ScriptedDialogs dialogs;
        dialogs.queueMessage(MsgAnswer::Ok);
        frmTitlePage &title = form<frmTitlePage>();
        title.Show();
        QTest::mouseClick(title.lblOstrelContact(frmTitlePage::ContactWebPage), Qt::LeftButton);
        QCOMPARE(dialogs.count(), 1);
        QCOMPARE(dialogs.last().caption, modStandard::LinkFailedCaption);
        QCOMPARE(dialogs.last().text, modStandard::LinkFailedText);
        QCOMPARE(dialogs.last().icon, MsgIcon::Critical);
        QCOMPARE(loadedForm<frmTitlePage>(), &title);
        QVERIFY(title.isVisible());
        QVERIFY(!loadedForm<frmLobby>());
    }

private:
    QTemporaryDir m_lists;
};

QTEST_MAIN(TestFrmTitlePage)
#include "tst_frm_title_page.moc"
