#include "app/command_line.h"
#include "app/startup.h"
#include "puzzle/make_command.h"

int main(int argc, char *argv[])
{
    if (const auto status = brivamo::RunInformationOption(argc, argv))
        return *status;
    if (brivamo::isMakeCommand(argc, argv))
        return brivamo::runMakeCommand(argc, argv);
    return basBrivamo::Main(argc, argv);
}
