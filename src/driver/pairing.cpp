#include "driver/pairing.h"

#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "cmdline/cmd_line.h"
#include "driver/run_state.h"
#include "messages/emit.h"
#include "util/regular_file.h"

rio_row rio_table[PAIR_ROWS];
tdc_row tdc_table[PAIR_ROWS];
int16_t rio_of_tdc[PAIR_ROWS][PAIR_ROWS];

// Both kinds of rows keep this much of the file's head as their key.
enum { PLAN_FIELDS = 5, KEY_BYTES = 2048 };

static QString name_of_file(int16_t file_index) {
  return name_arg(cmd_line.files[file_index]);
}

int mask_marker(char* line, const char* word) {
  char* found = strstr(line, word);
  if (!found) return 0;
  memset(found, 'X', strlen(word));
  return 1;
}

char* quoted_field(char* text, char** rest) {
  char* opening = strchr(text, '"');
  char* closing = opening ? strchr(opening + 1, '"') : nullptr;
  if (!closing) msg_fatal("UNEXPTEOF", QString(), QString());
  // A field that ends its text leaves nothing to search, not the bytes beyond.
  *rest = closing[1] ? closing + 2 : closing + 1;
  closing[1] = '\0';
  return opening;
}

int rio_rows_filled = 0, tdc_rows_filled = 0;

// Rows at or past this index hold nothing of an earlier pairing: a pairing
// fills at most one row per file it reads, and its lists and ROD slots only
// reach its own rows. Rows never used stay zero bytes, untouched: nothing
// reads past the rows filled.
static int rows_in_use = 0;

static void clear_tables() {
  for (int i = 0; i < rows_in_use; ++i) {
    rio_table[i].file_index = -1;
    rio_table[i].pair_count = 0;
    memset(rio_table[i].header_key, 0, RIO_KEY_SIZE);
    tdc_table[i].file_index = -1;
    tdc_table[i].pair_count = 0;
    memset(tdc_table[i].header_key, 0, TDC_KEY_SIZE);
    memset(tdc_table[i].plan_line, 0, PLAN_LINE_SIZE);
    std::fill_n(rio_of_tdc[i], rows_in_use, -1);
    rod_file_list[i][0] = '\0';
  }
  rows_in_use = 0;
  rio_rows_filled = tdc_rows_filled = 0;
}

// The head of the file with every line feed turned into a zero byte; one
// byte more than the window so that the last line always ends.
static char head[HEAD_WINDOW + 1];

static size_t read_head(const char* file_name) {
  FILE* stream = open_regular_stream(file_name);
  if (!stream) msg_fatal("FICNOTOPN", name_arg(file_name), QString());
  memset(head, 0, sizeof head);
  size_t length = fread(head, 1, HEAD_WINDOW, stream);
  const bool unreadable = ferror(stream);
  fclose(stream);
  if (unreadable) msg_fatal("FICNOTOPN", name_arg(file_name), QString());
  int line_feeds = 0;
  for (size_t i = 0; i < length; ++i)
    if (head[i] == '\n') {
      head[i] = '\0';
      ++line_feeds;
    }
  if (!line_feeds) msg_fatal("UNEXPTEOF", QString(), QString());
  return length;
}

static void copy_plan_line(size_t length, char* plan_line) {
  for (size_t start = 0; start < length;) {
    size_t end = start;
    while (end < length && head[end]) ++end;
    if (end - start >= 2 && head[start] == 'C' && head[start + 1] == 'F') {
      size_t copied = end - start < PLAN_LINE_SIZE - 1 ? end - start : PLAN_LINE_SIZE - 1;
      memcpy(plan_line, head + start, copied);
      plan_line[copied] = '\0';
      return;
    }
    start = end + 1;
  }
}

static void identify_file(int16_t file_index, int* rio_rows, int* tdc_rows) {
  ++rows_in_use;
  size_t length = read_head(cmd_line.files[file_index]);
  if (!mask_marker(head, "MIRVA ProbeSuite"))
    msg_fatal("NORIOTDCF", name_of_file(file_index), QString());
  if (mask_marker(head, "TDC file")) {
    std::fill_n(rio_of_tdc[*tdc_rows], PAIR_ROWS, -1);
    tdc_row& row = tdc_table[(*tdc_rows)++];
    row.file_index = file_index;
    memcpy(row.header_key, head, KEY_BYTES);
    copy_plan_line(length, row.plan_line);
  } else if (mask_marker(head, "RIO file")) {
    rio_row& row = rio_table[(*rio_rows)++];
    row.file_index = file_index;
    memcpy(row.header_key, head, KEY_BYTES);
  } else {
    msg_fatal("UNKMIRVAF", name_of_file(file_index), QString());
  }
}

// Keys are compared over the bytes both tables hold, so a header line too
// long to be zero-terminated in a TDC row is never read beyond its area.
static bool same_key(const rio_row& rio, const tdc_row& tdc) {
  return strncmp(rio.header_key, tdc.header_key, KEY_BYTES) == 0;
}

static void pair_rows(int rio_rows, int tdc_rows) {
  for (int r = 0; r < rio_rows; ++r) {
    for (int t = 0; t < tdc_rows; ++t) {
      if (!same_key(rio_table[r], tdc_table[t])) continue;
      ++rio_table[r].pair_count;
      ++tdc_table[t].pair_count;
      int16_t* list = rio_of_tdc[t];
      int free_entry = 0;
      while (free_entry < PAIR_ROWS && list[free_entry] != -1) ++free_entry;
      if (free_entry == PAIR_ROWS) msg_fatal("TOOMANYFI", QString(), QString());
      list[free_entry] = static_cast<int16_t>(r);
    }
    if (!rio_table[r].pair_count) msg_fatal("NOTDCFRIO", name_of_file(rio_table[r].file_index), QString());
  }
}

static void check_pairs() {
  for (int i = 0; i < std::max(rio_rows_filled, tdc_rows_filled); ++i) {
    rio_row& rio = rio_table[i];
    // A RIO row without a TDC file has already ended the run while pairing.
    if (i < rio_rows_filled && rio.pair_count >= 2) msg_fatal("MULTITDCS", name_of_file(rio.file_index), QString());
    tdc_row& tdc = tdc_table[i];
    if (i < tdc_rows_filled && tdc.pair_count == 0) {
      msg_warning("NORIOFTDC", name_of_file(tdc.file_index), QString());
      tdc.file_index = -1;
    }
  }
}

// Splits a copy of a plan line into its five quoted fields.
struct plan_fields {
  char text[PLAN_LINE_SIZE];
  char* field[PLAN_FIELDS];
};

static void split_plan_line(const char* plan_line, plan_fields* fields) {
  memcpy(fields->text, plan_line, PLAN_LINE_SIZE);
  char* rest = fields->text;
  for (char*& field : fields->field) field = quoted_field(rest, &rest);
}

static bool test_plans_differ() {
  static plan_fields reference, other;
  bool have_reference = false;
  for (int t = 0; t < tdc_rows_filled; ++t) {
    const tdc_row& row = tdc_table[t];
    if (row.file_index == -1) continue;
    if (!have_reference) {
      split_plan_line(row.plan_line, &reference);
      have_reference = true;
      continue;
    }
    split_plan_line(row.plan_line, &other);
    for (int f = 0; f < PLAN_FIELDS; ++f) {
      if (f == 1) continue;  // the relative directory may differ
      if (strcmp(reference.field[f], other.field[f]) != 0) {
        msg_info("FILESDIFF", QString(), QString());
        return true;
      }
    }
  }
  return false;
}

bool identify_and_pair(bool time_variant_asked) {
  clear_tables();
  int rio_rows = 0, tdc_rows = 0;
  for (int j = 0; j < MAX_FILES; ++j)
    if (cmd_line.files[j] && cmd_line.files[j][0]) identify_file(static_cast<int16_t>(j), &rio_rows, &tdc_rows);

  rio_rows_filled = rio_rows;
  tdc_rows_filled = tdc_rows;
  if (!rio_rows) msg_fatal("NEEDRIOFI", QString(), QString());
  if (!tdc_rows) msg_fatal("NEEDTDCFI", QString(), QString());
  pair_rows(rio_rows, tdc_rows);
  check_pairs();
  return !time_variant_asked && test_plans_differ();
}
