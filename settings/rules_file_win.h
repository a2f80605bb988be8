// Rules files on the Windows file system, for the window and the command line.
#pragma once
#include "rules_file.h"

namespace fw {

RulesFileSide& WindowsRulesFiles();

}  // namespace fw
