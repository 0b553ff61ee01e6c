#include <QString>
#include <cassert>

#include "cmdanalysis/cab.h"
#include "cmdline/cmd_line.h"
#include "messages/emit.h"

command_line cmd_line;

static void p_get_dest_option(command_line* v_cmd_line) {
  const int k = option_state("RDD");
  if (k == 0) return;
  v_cmd_line->dest_given = 1;
  const value_node* value = option_value(k, 1);
  v_cmd_line->dest_value = value ? value->text : nullptr;
  // -RDD requires its value, so the analysis never leaves it empty.
  assert(v_cmd_line->dest_value != nullptr);
}

void fill_cmd_line() {
  for (const char*& slot : cmd_line.files) slot = nullptr;
  cmd_line.time_flag = 0;
  cmd_line.dest_given = 0;
  cmd_line.dest_value = nullptr;
  for (int n = 1;; ++n) {
    const value_node* file = positional_value(1, n);
    if (!file) break;
    if (n > MAX_FILES) msg_fatal("TOOMANYFI", QString(), QString());
    cmd_line.files[n - 1] = file->text;
  }
  if (option_state("TIME") != 0) cmd_line.time_flag = 1;
  p_get_dest_option(&cmd_line);
}

uint8_t time_option(const command_line& line) { return line.time_flag; }

const char* dest_option(const command_line& line) { return line.dest_given == 1 ? line.dest_value : nullptr; }
