#include "tools/peer/CommandRunner.h"

// The Windows build answers nothing: it has no launcher.
std::unique_ptr<CCommandLauncher> MakeCommandLauncher() { return nullptr; }
