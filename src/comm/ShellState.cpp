#include "ShellState.h"

namespace rv8::comm {

ShellState SHELL;

}  // namespace rv8::comm
