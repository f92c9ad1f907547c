#include "puzzle/make_command.h"
#include "shell/bas_brivamo.h"

int main(int argc, char *argv[])
{
    if (brivamo::isMakeCommand(argc, argv))
        return brivamo::runMakeCommand(argc, argv);
    return basBrivamo::Main(argc, argv);
}
