#include "app/platform_choice.h"

#include <QtTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

// Which window system the program picks from the environment it was started in.
class TestPlatformChoice : public QObject
{
    Q_OBJECT
    int m_compositor = -1; // a socket that listens where a compositor called "wayland-0" would

private slots:
    void initTestCase()
    {
        const QByteArray path = qgetenv("XDG_RUNTIME_DIR") + "/wayland-0";
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, path.constData(), sizeof address.sun_path);
        ::unlink(path.constData());
        m_compositor = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(::bind(m_compositor, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0);
        QVERIFY(::listen(m_compositor, 4) == 0);
    }
    void cleanupTestCase() { ::close(m_compositor); }

    void choiceFollowsTheDisplaysOnOffer_data()
    {
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QByteArray>("waylandDisplay");
        QTest::addColumn<QByteArray>("sessionType");
        QTest::addColumn<QByteArray>("chosenByUser");
        QTest::addColumn<bool>("platformArgument");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("X11 session") << QByteArray(":0") << QByteArray() << QByteArray("x11") << QByteArray()
                                     << false << QByteArray("xcb");
        QTest::newRow("Wayland session with XWayland")
            << QByteArray(":0") << QByteArray("wayland-0") << QByteArray("wayland") << QByteArray() << false
            << QByteArray("xcb");
        QTest::newRow("Wayland alone") << QByteArray() << QByteArray("wayland-0") << QByteArray("wayland")
                                       << QByteArray() << false << QByteArray("wayland");
        QTest::newRow("user chose Wayland")
            << QByteArray(":0") << QByteArray("wayland-0") << QByteArray("wayland") << QByteArray("wayland")
            << false << QByteArray("wayland");
        QTest::newRow("user chose -platform")
            << QByteArray(":0") << QByteArray("wayland-0") << QByteArray("wayland") << QByteArray() << true
            << QByteArray();
        QTest::newRow("no display at all")
            << QByteArray() << QByteArray() << QByteArray() << QByteArray() << false << QByteArray();
        // Qt would end the program on a compositor that does not answer.
        QTest::newRow("Wayland alone, not answering")
            << QByteArray() << QByteArray("wayland-9") << QByteArray("wayland") << QByteArray() << false
            << QByteArray("problem");
    }
    void choiceFollowsTheDisplaysOnOffer()
    {
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, waylandDisplay);
        QFETCH(QByteArray, sessionType);
        QFETCH(QByteArray, chosenByUser);
        QFETCH(bool, platformArgument);
        QFETCH(QByteArray, expected);
        const auto set = [](const char *name, const QByteArray &value) {
            if (value.isEmpty())
                qunsetenv(name);
            else
                qputenv(name, value);
        };
        set("DISPLAY", display);
        set("WAYLAND_DISPLAY", waylandDisplay);
        set("XDG_SESSION_TYPE", sessionType);
        set("QT_QPA_PLATFORM", chosenByUser);
        char name[] = "brivamo", option[] = "-platform", value[] = "wayland";
        char *argv[] = {name, option, value, nullptr};

        basBrivamo::PlatformChoice choice(platformArgument ? 3 : 1, argv);
        if (expected == "problem") {
            QVERIFY(choice.problem().contains("no Wayland display answers"));
            return;
        }
        QVERIFY2(choice.problem().isEmpty(), qPrintable(choice.problem()));
        QCOMPARE(qgetenv("QT_QPA_PLATFORM"), expected);
        // Once Qt has started, programs started from this one choose for themselves again; a
        // choice the user made stays.
        choice.release();
        QCOMPARE(qgetenv("QT_QPA_PLATFORM"), chosenByUser);
    }
};

QTEST_GUILESS_MAIN(TestPlatformChoice)
#include "tst_platform_choice.moc"
