#include "app/command_line.h"
#include "app/make_command.h"
#include "app/startup.h"

int main(int argc, char *argv[])
{
    const QList<QByteArray> arguments = brivamo::ProgramArguments(argc, argv);
    if (const auto status = brivamo::RunInformationOption(arguments))
        return *status;
    if (brivamo::IsMakeCommand(arguments))
        return brivamo::runMakeCommand(arguments);
    return basBrivamo::Main(argc, argv);
}
