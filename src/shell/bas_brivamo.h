#pragma once

namespace basBrivamo {

// The program's start routine: guards against a second copy and opens the first window.
int Main(int argc, char *argv[]);

} // namespace basBrivamo
