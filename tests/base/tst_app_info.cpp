#include "base/app_info.h"

#include <QtTest>

class TestAppInfo : public QObject
{
    Q_OBJECT
private slots:
    void titleAndVersion()
    {
        QCOMPARE(brivamo::AppTitle, QStringLiteral("Brivamo"));
        QCOMPARE(QStringLiteral("%1.%2.%3")
                     .arg(brivamo::VersionMajor)
                     .arg(brivamo::VersionMinor)
                     .arg(brivamo::VersionRevision),
                 QStringLiteral("4.48.19"));
    }
};

QTEST_GUILESS_MAIN(TestAppInfo)
#include "tst_app_info.moc"
