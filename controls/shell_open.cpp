#include "controls/shell_open.h"

#include <shellapi.h>

ShellExecuteFn g_pfnShellExecute = ShellExecuteA;
