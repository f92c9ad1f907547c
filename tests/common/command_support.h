#pragma once

#include <QProcess>
#include <QStringList>

// One run of the real program's headless command line.
struct CommandRun
{
    int exitCode = -1; // -1: did not finish normally within a minute
    QString out;
    QString err;
};

// Runs the program (BRIVAMO_BINARY) in `folder` with no display of any kind: the command line
// must not need one. The variables named in `unset` are taken out of its environment as well, and
// those of `extra` are set.
inline CommandRun runHeadless(const QString &folder, const QStringList &arguments,
                              const QStringList &unset = {}, const QProcessEnvironment &extra = {})
{
    QProcess process;
    process.setProgram(qEnvironmentVariable("BRIVAMO_BINARY"));
    process.setArguments(arguments);
    process.setWorkingDirectory(folder);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    for (const QString &name : unset)
        environment.remove(name);
    environment.insert(extra);
    process.setProcessEnvironment(environment);
    process.start();
    CommandRun run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}
