#include "shell/bas_brivamo.h"

#include "platform/dialogs_qt.h"
#include "platform/link_opener_desktop.h"
#include "puzzle/standard_routines.h"
#include "shell/app_info.h"
#include "shell/command_line.h"
#include "shell/form.h"
#include "shell/frm_title_page.h"
#include "shell/lists_home.h"
#include "shell/maker_info.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QLockFile>
#include <QStandardPaths>

#include <cstdio>

namespace basBrivamo {

namespace {

// The first window of every run.
void showFirstWindow()
{
    brivamo::form<brivamo::frmTitlePage>().Show();
}

void showAlreadyRunning()
{
    if (qEnvironmentVariableIsSet(TerminateMessageToStderrVariable)) {
        std::fprintf(stderr, "%s\n%s\n", qPrintable(AlreadyRunningCaption), qPrintable(alreadyRunningText()));
        std::fflush(stderr);
        return;
    }
    brivamo::QtDialogs dialogs;
    dialogs.MsgBox(alreadyRunningText(), brivamo::MsgButtons::OkOnly, brivamo::MsgIcon::Critical,
                   AlreadyRunningCaption);
}

// Linux has none of the fonts the windows were designed with; these have the same metrics or look.
void substituteFonts()
{
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("FixedSys"),
                               {QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono")});
}

} // namespace

QString alreadyRunningText()
{
    return brivamo::AppTitle + QStringLiteral(" is already loaded\r\nand running on your computer!");
}

QString instanceLockPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return QDir(folder).filePath(QStringLiteral("brivamo.lock"));
}

int Main(int argc, char *argv[])
{
    if (const QString reason = brivamo::UnknownLongOption(argc, argv); !reason.isEmpty()) {
        std::fprintf(stderr, "brivamo: %s\n", qPrintable(reason));
        return 2;
    }
    QApplication app(argc, argv);

    // Qt has taken its own options out of argv; anything left must be ours.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (const QString reason = brivamo::UnknownWindowArgument(arguments); !reason.isEmpty()) {
        std::fprintf(stderr, "brivamo: %s\n", qPrintable(reason));
        return 2;
    }

    // One copy per user: the lock is held for the program's life. A copy that was killed leaves its
    // lock behind; QLockFile sees that its process is gone and takes the lock over. Age alone must
    // never make a lock stale, or a long-running copy would lose it.
    QLockFile instanceLock(instanceLockPath());
    instanceLock.setStaleLockTime(0);
    if (!instanceLock.tryLock(0)) {
        showAlreadyRunning();
        return 0;
    }

    // The printer works in inches throughout; the printer layer converts them itself, so there is
    // nothing to set up here (and nothing to fail when no printer is installed).

    // Started from the desktop menu, the lists live in the user's own folder; if that folder cannot
    // be made, the program keeps to the folder it was started in.
    if (wantsListsHome(argc, argv))
        enterListsHome();

    substituteFonts();
    // Seeds the puzzle maker's random source from the clock, once per run.
    modStandard::ProgramRandomSource();

    brivamo::QtDialogs dialogs;
    brivamo::setDialogs(&dialogs);
    brivamo::DesktopLinkOpener linkOpener;
    brivamo::setLinkOpener(&linkOpener);
    brivamo::setEndWhenLastFormUnloads(true);

    showFirstWindow();
    const int status = app.exec();

    brivamo::destroyAllForms();
    brivamo::setLinkOpener(nullptr);
    brivamo::setDialogs(nullptr);
    return status;
}

} // namespace basBrivamo
