#pragma once

namespace brivamo {

// True when the arguments ask for headless puzzle making (--make ...).
bool isMakeCommand(int argc, char *argv[]);

// Runs the headless command line; returns the process exit status.
int runMakeCommand(int argc, char *argv[]);

} // namespace brivamo
