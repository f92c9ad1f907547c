#include "base/fade_request.h"
#include "base/form.h"
#include "base/settings.h"
#include "effects/fade.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

using namespace brivamo;

namespace {

// Records what each fade tick leaves behind.
class frmFading : public Form
{
    Q_OBJECT
public:
    QList<int> alphas;
    QList<bool> enabledDuringTicks;
    int completions = 0;
    bool unloadOnCompletion = true;

protected:
    void timerFadeInOut_Timer() override
    {
        Form::timerFadeInOut_Timer();
        alphas.append(fadeRequest.currentAlpha);
        enabledDuringTicks.append(isEnabled());
    }
    void FadeCompleted() override
    {
        ++completions;
        if (unloadOnCompletion)
            Form::FadeCompleted();
    }
};

QList<int> runTicks(quint8 start, quint8 end, quint8 step)
{
    FadeRequest request;
    request.begin(start, end, step, false);
    QList<int> values;
    bool done = false;
    while (!done && values.size() < 1000) {
        done = request.advance();
        values.append(request.currentAlpha);
    }
    return values;
}

} // namespace

class TestFade : public QObject
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        destroyAllForms();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void tickCounts_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<int>("firstValue");
        QTest::newRow("in 0-255 by 20") << 0 << 255 << 20 << 13 << 20;
        QTest::newRow("out 255-0 by 20") << 255 << 0 << 20 << 13 << 235;
        QTest::newRow("out 255-0 by 10") << 255 << 0 << 10 << 26 << 245;
        QTest::newRow("dim 255-204 by 2") << 255 << 204 << 2 << 26 << 253;
        QTest::newRow("brighten 204-255 by 3") << 204 << 255 << 3 << 17 << 207;
        QTest::newRow("out 204-0 by 20") << 204 << 0 << 20 << 11 << 184;
        QTest::newRow("start equals end") << 128 << 128 << 20 << 1 << 128;
        QTest::newRow("step larger than span") << 250 << 255 << 20 << 1 << 255;
    }
    void tickCounts()
    {
        QFETCH(int, start);
        QFETCH(int, end);
        QFETCH(int, step);
        QFETCH(int, ticks);
        QFETCH(int, firstValue);
        const QList<int> values = runTicks(quint8(start), quint8(end), quint8(step));
        QCOMPARE(values.size(), ticks);
        QCOMPARE(values.first(), firstValue);
        QCOMPARE(values.last(), end);
        // Every step moves by `step` except the last, which lands on the end.
        for (qsizetype i = 1; i + 1 < values.size(); ++i)
            QCOMPARE(qAbs(values.at(i) - values.at(i - 1)), step);
    }

    void restartingAFadeStartsFromTheNewStart()
    {
        FadeRequest request;
        request.begin(255, 0, 20, false);
        request.advance();
        request.advance();
        QCOMPARE(request.currentAlpha, qint16(215));
        request.begin(0, 255, 20, true);
        request.advance();
        QCOMPARE(request.currentAlpha, qint16(20));
        QVERIFY(request.unloadWhenDone);
    }

    void windowIsDisabledWhileItFades()
    {
        frmFading &w = form<frmFading>();
        w.Show();
        w.StartFade(255, 204, 2, false);
        QVERIFY(w.isFading());
        w.WaitForFade();
        QCOMPARE(w.alphas.size(), 26);
        QCOMPARE(w.alphas.last(), 204);
        // Disabled on every tick but the last, which enables it again.
        QCOMPARE(w.enabledDuringTicks.count(false), 25);
        QVERIFY(w.enabledDuringTicks.last());
        QVERIFY(w.isEnabled());
        QCOMPARE(w.completions, 0);
        QVERIFY(loadedForm<frmFading>());
    }

    void fadeWithUnloadRunsTheCompletionAction()
    {
        frmFading &w = form<frmFading>();
        w.Show();
        QSignalSpy unloaded(&w, &Form::unloaded);
        w.StartFade(255, 0, 20, true);
        w.WaitForFade();
        QCOMPARE(w.alphas.size(), 13);
        QCOMPARE(w.completions, 1);
        QCOMPARE(unloaded.count(), 1);
        QVERIFY(!loadedForm<frmFading>());
    }

    void completionActionMayKeepTheWindow()
    {
        frmFading &w = form<frmFading>();
        w.unloadOnCompletion = false;
        w.Show();
        w.StartFade(204, 0, 20, true);
        w.WaitForFade();
        QCOMPARE(w.completions, 1);
        QVERIFY(loadedForm<frmFading>());
        // The completion action owns the window's state: it stays disabled as the last tick left it.
        QVERIFY(!w.isEnabled());
    }

    void modalWaitEndsWhenFadeUnloads()
    {
        frmFading &w = form<frmFading>();
        QTimer::singleShot(0, [&w] { w.StartFade(255, 0, 20, true); });
        w.ShowModal();
        QVERIFY(!loadedForm<frmFading>());
        QCOMPARE(w.completions, 1);
    }

    void prepareFadeFollowsSettingAndSupport_data()
    {
        QTest::addColumn<QString>("stored"); // null: absent
        QTest::addColumn<bool>("force");
        QTest::newRow("absent") << QString() << false;
        QTest::newRow("off") << "False" << false;
        QTest::newRow("on but unsupported") << "True" << false;
        QTest::newRow("forced, unsupported") << QString() << true;
    }
    void prepareFadeFollowsSettingAndSupport()
    {
        QFETCH(QString, stored);
        QFETCH(bool, force);
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("offscreen"));
        if (!stored.isNull())
            basBrivamo::WriteSetting(basBrivamo::SettingsApplication, basBrivamo::SettingsSection,
                                     basBrivamo::KeyFadeStatus, stored);
        QWidget window;
        QVERIFY(!modFadeInOut::PrepareFade(&window, 0, force));
        QCOMPARE(window.windowOpacity(), 1.0);
        QVERIFY(!modFadeInOut::translucencySupported());
    }

    void screenNumbers_data()
    {
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<int>("screen");
        QTest::newRow("plain") << QByteArray(":0") << 0;
        QTest::newRow("screen 1") << QByteArray(":0.1") << 1;
        QTest::newRow("remote") << QByteArray("localhost:10.2") << 2;
        QTest::newRow("host with dots") << QByteArray("my.host.example:3") << 0;
        QTest::newRow("empty") << QByteArray() << 0;
    }
    void screenNumbers()
    {
        QFETCH(QByteArray, display);
        QFETCH(int, screen);
        QCOMPARE(modFadeInOut::screenNumberOfDisplay(display), screen);
    }

    // Child side of translucencyOnX11: prints what this process sees on its display.
    void probeTranslucency()
    {
        if (qEnvironmentVariableIsEmpty("BRIVAMO_TRANSLUCENCY_PROBE"))
            QSKIP("run by translucencyOnX11 only");
        printf("TRANSLUCENCY=%d\n", modFadeInOut::translucencySupported() ? 1 : 0);
        fflush(stdout);
    }

    // On a real X server translucency follows whether a compositing manager is running.
    void translucencyOnX11()
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        const QString compositor = QStandardPaths::findExecutable(QStringLiteral("xcompmgr"));
        if (xvfb.isEmpty() || compositor.isEmpty())
            QSKIP("Xvfb or xcompmgr not installed");

        QProcess server;
        server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                            QStringLiteral("0"), QStringLiteral("320x240x24"), QStringLiteral("-nolisten"),
                            QStringLiteral("tcp")});
        QVERIFY(server.waitForStarted());
        QByteArray number;
        QElapsedTimer clock;
        clock.start();
        while (!number.contains('\n') && clock.elapsed() < 20000) {
            server.waitForReadyRead(500);
            number += server.readAllStandardOutput();
        }
        QVERIFY2(number.contains('\n'), "Xvfb did not report its display");
        const QString display = QStringLiteral(":") + QString::fromLatin1(number.trimmed());

        auto probe = [&]() -> QByteArray {
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
            env.insert(QStringLiteral("DISPLAY"), display);
            env.insert(QStringLiteral("BRIVAMO_TRANSLUCENCY_PROBE"), QStringLiteral("1"));
            child.setProcessEnvironment(env);
            child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("probeTranslucency")});
            child.waitForFinished(30000);
            const QByteArray out = child.readAllStandardOutput();
            const qsizetype at = out.indexOf("TRANSLUCENCY=");
            return at < 0 ? out : out.mid(at, 14);
        };

        QCOMPARE(probe(), QByteArray("TRANSLUCENCY=0"));

        QProcess manager;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display);
        manager.setProcessEnvironment(env);
        manager.start(compositor, {QStringLiteral("-n")});
        QVERIFY(manager.waitForStarted());
        QByteArray seen;
        for (int attempt = 0; attempt < 20 && seen != "TRANSLUCENCY=1"; ++attempt) {
            QTest::qWait(100);
            seen = probe();
        }
        QCOMPARE(seen, QByteArray("TRANSLUCENCY=1"));

        manager.terminate();
        manager.waitForFinished(5000);
        server.terminate();
        server.waitForFinished(5000);
    }
};

QTEST_MAIN(TestFade)
#include "tst_fade.moc"
