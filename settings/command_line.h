// Fwise.exe's command line, for scripts and deployment: no window is shown.
//   Fwise.exe /export FILE   the store as the settings program reads it, to FILE
//   Fwise.exe /import FILE   FILE checked whole, then written to the store as a save writes it
#pragma once
#include "rules_file.h"
#include <cstdint>
#include <vector>

namespace fw {

constexpr int kExitOk = 0;
constexpr int kExitRefused = 1;       // export: nothing written; import: file refused, store untouched
constexpr int kExitStoreFailed = 2;   // import: a write to the store failed
constexpr int kExitBadCommandLine = 87;  // ERROR_INVALID_PARAMETER: nothing done

// The console, besides the files, as the command line needs it.
class CommandLineSide : public RulesFileSide {
public:
    virtual void Say(const char16_t* line) = 0;
};

// `args` without the program's name. Returns the exit code.
int RunCommandLine(int argc, const char16_t* const* args, CommandLineSide& side);

}  // namespace fw
