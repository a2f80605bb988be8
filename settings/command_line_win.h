// Fwise.exe started with arguments: the command line runs instead of the
// window (command_line.h).
#pragma once

namespace fw {

// true when the program was given arguments; then `*exitCode` is the code
// to end with, and no window was created.
bool RunCommandLineIfAny(int* exitCode);

}  // namespace fw
