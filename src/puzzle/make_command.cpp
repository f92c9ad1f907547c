#include "puzzle/make_command.h"

#include <cstdio>
#include <cstring>

namespace brivamo {

bool isMakeCommand(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--make") == 0)
            return true;
    return false;
}

int runMakeCommand(int, char *[])
{
    std::fputs("brivamo: --make is not available in this build\n", stderr);
    return 2;
}

} // namespace brivamo
