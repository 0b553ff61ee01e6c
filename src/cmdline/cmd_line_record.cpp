#include "cmdline/cmd_line.h"

command_line cmd_line;
