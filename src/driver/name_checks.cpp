#include "driver/name_checks.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cmdline/cmd_line.h"
#include "report/source_record.h"
#include "messages/emit.h"
#include "util/out_of_memory.h"

static void refuse_line_feed_in(const char* name) {
  if (name && strchr(name, '\n')) msg_fatal("NAMNEWLIN", name_arg(name), QString());
}

void refuse_unusable_names(const command_options& options) {
  for (const std::string& name : options.files) refuse_line_feed_in(name.c_str());
  if (options.dest) refuse_line_feed_in(options.dest->c_str());
  char* here = getcwd(nullptr, 0);
  // Without a working directory the source record ends the run itself; for
  // want of memory, the run ends here.
  if (!here && errno == ENOMEM) out_of_memory();
  if (!here) return;
  std::string directory(here);
  free(here);
  refuse_line_feed_in(directory.c_str());
  if (directory.size() >= WORKING_DIRECTORY_AREA)
    msg_fatal("NAMTOOLNG", name_arg(directory.c_str()), QString::number(WORKING_DIRECTORY_AREA - 1));
}
