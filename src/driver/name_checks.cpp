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

void refuse_unusable_names() {
  for (const char* name : cmd_line.files) refuse_line_feed_in(name);
  refuse_line_feed_in(dest_option(cmd_line));
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
