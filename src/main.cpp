#include "puzzle/make_command.h"
#include "shell/bas_brivamo.h"
#include "shell/command_line.h"

int main(int argc, char *argv[])
{
    if (const auto status = brivamo::RunInformationOption(argc, argv))
        return *status;
    if (brivamo::isMakeCommand(argc, argv))
        return brivamo::runMakeCommand(argc, argv);
    return basBrivamo::Main(argc, argv);
}
