#include "app/startup.h"

#include "app/command_line.h"
#include "app/frm_title_page.h"
#include "app/instance_folder.h"
#include "app/lists_home.h"
#include "app/platform_choice.h"
#include "app/running_copy.h"
#include "base/app_icon.h"
#include "base/app_info.h"
#include "base/form.h"
#include "base/maker_info.h"
#include "generator/standard_routines.h"
#include "platform/dialogs_qt.h"
#include "platform/link_opener_desktop.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QLockFile>
#include <QThread>

#include <cstdio>
#include <cstring>
#include <vector>

#include <csignal>
#include <dlfcn.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace basBrivamo {

namespace {

// The first window of every run.
void showFirstWindow()
{
    brivamo::form<brivamo::frmTitlePage>().Show();
}

// The one message a copy that cannot go on shows before it ends.
void showTerminateMessage(const QString &caption, const QString &text)
{
    if (qEnvironmentVariableIsSet(TerminateMessageToStderrVariable)) {
        std::fprintf(stderr, "%s\n%s\n", caption.toLocal8Bit().constData(), text.toLocal8Bit().constData());
        std::fflush(stderr);
        return;
    }
    brivamo::QtDialogs dialogs;
    dialogs.MsgBox(text, brivamo::MsgButtons::OkOnly, brivamo::MsgIcon::Critical, caption);
}

// Only a lock of the user's own that names a live copy means one is running. A lock file that
// cannot be read (a folder, or a file holding no lock) is something else; it may also be a copy
// starting this very moment that has made the file but not yet written it, hence the short second look.
bool heldByRunningCopy(const QLockFile &lock, const QString &lockPath)
{
    struct stat info
    {
    };
    if (::lstat(QFile::encodeName(lockPath).constData(), &info) != 0 || info.st_uid != ::geteuid())
        return false;
    qint64 pid = 0;
    QString host, application;
    if (lock.getLockInfo(&pid, &host, &application))
        return true;
    QThread::msleep(500);
    return lock.getLockInfo(&pid, &host, &application);
}

// Why the lock file could not be made, in the system's words where it has them: QLockFile only
// says that it failed, so the same steps are tried on a file of our own beside it.
QString lockFailureCause(const QString &lockPath, QLockFile::LockError error)
{
    const QFileInfo folder(QFileInfo(lockPath).absolutePath());
    if (!folder.exists())
        return QStringLiteral("the folder %1 does not exist").arg(folder.filePath());
    if (!folder.isDir())
        return QStringLiteral("%1 is not a folder").arg(folder.filePath());
    if (error == QLockFile::LockFailedError)
        return QStringLiteral("something that is not a lock is in its place; remove it and start again");
    QFile probe(lockPath + QStringLiteral(".%1.check").arg(QCoreApplication::applicationPid()));
    if (!probe.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return probe.errorString();
    const bool written = probe.write(QByteArray(4096, ' ')) == 4096 && probe.flush();
    const QString cause = written ? QStringLiteral("the file could not be written") : probe.errorString();
    probe.close();
    probe.remove();
    return cause;
}

// Whether the windows have somewhere to go. Qt aborts the whole process when its platform cannot
// start, so the usual way, an X display, is tried first; other platforms are trusted as chosen.
// The trial connection is held until Qt has its own: an X server with no client left resets
// itself, and Qt connecting during that reset can fail.
class DisplayProbe
{
public:
    DisplayProbe(int argc, char *argv[]) { m_problem = probe(argc, argv); }
    ~DisplayProbe() { release(); }
    DisplayProbe(const DisplayProbe &) = delete;
    DisplayProbe &operator=(const DisplayProbe &) = delete;

    // Empty when the windows can be shown, otherwise a sentence saying why not.
    const QString &problem() const { return m_problem; }

    void release()
    {
        if (m_connection)
            m_disconnect(m_connection);
        m_connection = nullptr;
        if (m_library)
            dlclose(m_library);
        m_library = nullptr;
    }

private:
    using Connect = void *(*)(const char *, int *);
    using HasError = int (*)(void *);
    using Disconnect = void (*)(void *);
    using GetSetup = const void *(*)(void *);
    using RootsLength = int (*)(const void *);

    QString probe(int argc, char *argv[])
    {
        for (int i = 1; i < argc; ++i)
            if (std::strcmp(argv[i], "-platform") == 0)
                return {};
        const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
        if (!platform.isEmpty() && platform.split(':').first() != "xcb")
            return {};
        if (platform.isEmpty() && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            return {};
        const QByteArray display = qgetenv("DISPLAY");
        if (display.isEmpty())
            return QStringLiteral("No display was found (DISPLAY is not set).");

        // libxcb is what Qt itself would connect with; without it Qt reports the problem itself.
        m_library = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
        if (!m_library)
            return {};
        const auto connect = reinterpret_cast<Connect>(dlsym(m_library, "xcb_connect"));
        const auto hasError = reinterpret_cast<HasError>(dlsym(m_library, "xcb_connection_has_error"));
        m_disconnect = reinterpret_cast<Disconnect>(dlsym(m_library, "xcb_disconnect"));
        const auto getSetup = reinterpret_cast<GetSetup>(dlsym(m_library, "xcb_get_setup"));
        const auto rootsLength = reinterpret_cast<RootsLength>(dlsym(m_library, "xcb_setup_roots_length"));
        if (!connect || !hasError || !m_disconnect || !getSetup || !rootsLength) {
            release();
            return {};
        }
        int screen = 0;
        m_connection = connect(display.constData(), &screen);
        // Qt also aborts on a screen number the server does not have (":0.5"). Newer libxcb says
        // so itself (XCB_CONN_CLOSED_INVALID_SCREEN); older ones connect all the same.
        constexpr int InvalidScreen = 6;
        const int error = hasError(m_connection);
        const bool noSuchScreen =
            error == InvalidScreen || (error == 0 && screen >= rootsLength(getSetup(m_connection)));
        if (error == 0 && !noSuchScreen)
            return {};
        release();
        const QString name = QString::fromLocal8Bit(display);
        return noSuchScreen ? QStringLiteral("The display \"%1\" has no screen %2.").arg(name).arg(screen)
                            : QStringLiteral("Cannot open the display \"%1\".").arg(name);
    }

    QString m_problem;
    void *m_library = nullptr;
    void *m_connection = nullptr;
    Disconnect m_disconnect = nullptr;
};

// Started from the menu, the program has no terminal for its one-line reasons: the desktop's
// notifications show them too, where notify-send is installed. It normally returns at once; one
// that hangs (no notification service answering) is ended after a moment. Its own complaints are
// dropped so that stderr keeps the single line.
void notifyDesktop(const QString &summary, const QString &body)
{
    const QByteArray summaryBytes = summary.toLocal8Bit();
    const QByteArray bodyBytes = body.toLocal8Bit();
    const char *const arguments[] = {"notify-send",         "--app-name=Brivamo",
                                     "--icon=brivamo",      summaryBytes.constData(),
                                     bodyBytes.constData(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int failed =
        posix_spawnp(&child, "notify-send", &actions, nullptr, const_cast<char *const *>(arguments), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0)
        return;
    for (int waited = 0; waited < 40; ++waited) {
        if (::waitpid(child, nullptr, WNOHANG) == child)
            return;
        QThread::msleep(50);
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}

// The program cannot show its windows: the reason on stderr and, for a start from the menu, as a
// desktop notification.
int refuseWithoutWindows(const QString &reason)
{
    std::fprintf(stderr, "brivamo: %s\n", reason.toLocal8Bit().constData());
    std::fflush(stderr);
    notifyDesktop(brivamo::AppTitle + QStringLiteral(" cannot start"), reason);
    return 1;
}

// Linux has none of the fonts the windows were designed with; these have the same metrics or look.
void substituteFonts()
{
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("FixedSys"),
                               {QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono")});
}

// Qt says so when the runtime folder is not set, and then uses one of its own: nothing the user
// needs to read before the program's own one-line message.
QtMessageHandler &defaultMessageHandler()
{
    static QtMessageHandler handler = nullptr;
    return handler;
}

void dropRuntimeFolderNotice(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    if (defaultMessageHandler())
        defaultMessageHandler()(type, context, message);
}

// Started from the menu, the program works in the user's list folder or not at all: the folder it
// happened to start in (the home folder) is no place for lists.
int refuseListsHome(const QString &cause)
{
    std::fprintf(stderr, "brivamo: %s\n", qPrintable(listsHomeFailureLine(cause)));
    std::fflush(stderr);
    if (!qEnvironmentVariableIsSet(TerminateMessageToStderrVariable)) {
        brivamo::QtDialogs dialogs;
        dialogs.MsgBox(listsHomeFailureText(cause), brivamo::MsgButtons::OkOnly, brivamo::MsgIcon::Critical,
                       LockFailedCaption);
    }
    return 1;
}

} // namespace

QString alreadyRunningText()
{
    return brivamo::AppTitle + QStringLiteral(" is already loaded\r\nand running on your computer!");
}

QString lockFailureText(const QString &lockPath, const QString &cause)
{
    return brivamo::AppTitle + QStringLiteral(" cannot start: it could not make its lock file\r\n%1\r\n(%2).")
                                   .arg(lockPath, cause);
}

int Main(int argc, char *argv[])
{
    const brivamo::WindowArguments window =
        brivamo::ParseWindowArguments(brivamo::ProgramArguments(argc, argv));
    if (!window.error.isEmpty()) {
        std::fprintf(stderr, "brivamo: %s\n", qPrintable(window.error));
        return 2;
    }
    if (!window.platformProblem.isEmpty())
        return refuseWithoutWindows(window.platformProblem);
    // Qt hears of the platform and display through the environment, where the check below looks.
    if (!window.platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", window.platform);
    if (!window.display.isEmpty())
        qputenv("DISPLAY", window.display);
    // Qt gets only the options that were checked; it keeps the count and list for its whole life.
    QList<QByteArray> qtArguments = QList<QByteArray>{QByteArray(argv[0])} + window.qtArguments;
    std::vector<char *> qtArgv;
    for (QByteArray &argument : qtArguments)
        qtArgv.push_back(argument.data());
    qtArgv.push_back(nullptr);
    int qtArgc = int(qtArguments.size());
    defaultMessageHandler() = qInstallMessageHandler(dropRuntimeFolderNotice);

    PlatformChoice platform(qtArgc, qtArgv.data());
    DisplayProbe display(qtArgc, qtArgv.data());
    if (const QString &problem = platform.problem().isEmpty() ? display.problem() : platform.problem();
        !problem.isEmpty())
        return refuseWithoutWindows(problem + QLatin1Char(' ') + brivamo::AppTitle +
                                    QStringLiteral(" needs a graphical desktop; puzzles can also be made "
                                                   "with brivamo --make CATEGORY."));

    QApplication app(qtArgc, qtArgv.data());
    display.release();
    platform.release();
    // Every window, the puzzle and help windows too, shows the program's icon at the screen's scale.
    QApplication::setWindowIcon(brivamo::AppIcon());

    // One copy per user: the lock is held for the program's life. A copy that was killed leaves its
    // lock behind; QLockFile sees that its process is gone and takes the lock over. Age alone must
    // never make a lock stale, or a long-running copy would lose it.
    const InstanceFolder folder =
        instanceFolder(qgetenv("XDG_RUNTIME_DIR"), qgetenv("XDG_CACHE_HOME"), qgetenv("HOME"));
    const QString lockPath = QDir(folder.path).filePath(QStringLiteral("brivamo.lock"));
    if (!folder.problem.isEmpty()) {
        showTerminateMessage(LockFailedCaption, lockFailureText(lockPath, folder.problem));
        return 1;
    }
    QLockFile instanceLock(lockPath);
    instanceLock.setStaleLockTime(0);
    if (!instanceLock.tryLock(0)) {
        const QLockFile::LockError error = instanceLock.error();
        if (error == QLockFile::LockFailedError && heldByRunningCopy(instanceLock, lockPath)) {
            askRunningCopyToShowItself(lockPath);
            showTerminateMessage(AlreadyRunningCaption, alreadyRunningText());
            return 0;
        }
        showTerminateMessage(LockFailedCaption, lockFailureText(lockPath, lockFailureCause(lockPath, error)));
        return 1;
    }
    const auto laterStarts = answerLaterStarts(lockPath);

    // The printer works in inches throughout; the printer layer converts them itself, so there is
    // nothing to set up here (and nothing to fail when no printer is installed).

    // Started from the desktop menu, the lists live in the user's own folder.
    if (QString cause; window.listsHome && !enterListsHome(&cause))
        return refuseListsHome(cause);

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
