#include "driver/line_feed_check.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cmdline/cmd_line.h"
#include "messages/emit.h"
#include "util/out_of_memory.h"

// The refusal is one line too: a line feed is shown as the two characters \n.
static void refuse_line_feed_in(const char* name) {
  if (!name || !strchr(name, '\n')) return;
  msg_fatal("NAMNEWLIN", name_arg(name).replace(QLatin1Char('\n'), QLatin1String("\\n")), QString());
}

void refuse_names_with_line_feeds() {
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
}
