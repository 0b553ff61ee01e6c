#include "driver/pairing.h"

#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "messages/emit.h"
#include "util/regular_file.h"

// Both kinds of rows keep this much of the file's head as their key.
enum { PLAN_FIELDS = 5, KEY_BYTES = 2048 };

namespace {
struct rio_row {
  size_t file;      // position on the command line
  std::string key;  // the header line, its kind masked
  int pair_count = 0;
  int tdc = -1;     // the TDC row it pairs with
};

struct tdc_row {
  size_t file;
  std::string key;
  int pair_count = 0;
  bool dropped = false;                // no RIO file needs it
  char plan_line[PLAN_LINE_SIZE] = {};  // empty when the file has none
};

struct pairing {
  const std::vector<std::string>& files;
  std::vector<rio_row> rio;
  std::vector<tdc_row> tdc;
};
}  // namespace

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

// The key of a header line: the head up to its first line's end, at most
// KEY_BYTES.
static std::string key_of_head() { return std::string(head, strnlen(head, KEY_BYTES)); }

static void identify_file(pairing* p, size_t file) {
  const char* name = p->files[file].c_str();
  size_t length = read_head(name);
  if (!mask_marker(head, "MIRVA ProbeSuite")) msg_fatal("NORIOTDCF", name_arg(name), QString());
  if (mask_marker(head, "TDC file")) {
    tdc_row& row = p->tdc.emplace_back();
    row.file = file;
    row.key = key_of_head();
    copy_plan_line(length, row.plan_line);
  } else if (mask_marker(head, "RIO file")) {
    p->rio.push_back({file, key_of_head()});
  } else {
    msg_fatal("UNKMIRVAF", name_arg(name), QString());
  }
}

static void pair_rows(pairing* p) {
  for (rio_row& rio : p->rio) {
    for (size_t t = 0; t < p->tdc.size(); ++t) {
      if (rio.key != p->tdc[t].key) continue;
      ++rio.pair_count;
      ++p->tdc[t].pair_count;
      rio.tdc = static_cast<int>(t);
    }
    if (!rio.pair_count) msg_fatal("NOTDCFRIO", name_arg(p->files[rio.file].c_str()), QString());
  }
}

static void check_pairs(pairing* p) {
  for (size_t i = 0; i < std::max(p->rio.size(), p->tdc.size()); ++i) {
    // A RIO row without a TDC file has already ended the run while pairing.
    if (i < p->rio.size() && p->rio[i].pair_count >= 2)
      msg_fatal("MULTITDCS", name_arg(p->files[p->rio[i].file].c_str()), QString());
    if (i < p->tdc.size() && p->tdc[i].pair_count == 0) {
      msg_warning("NORIOFTDC", name_arg(p->files[p->tdc[i].file].c_str()), QString());
      p->tdc[i].dropped = true;
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

static bool test_plans_differ(const pairing& p) {
  static plan_fields reference, other;
  bool have_reference = false;
  for (const tdc_row& row : p.tdc) {
    if (row.dropped) continue;
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

run_plan identify_and_pair(command_options options) {
  pairing p{options.files, {}, {}};
  for (size_t j = 0; j < options.files.size(); ++j)
    if (!options.files[j].empty()) identify_file(&p, j);
  if (p.rio.empty()) msg_fatal("NEEDRIOFI", QString(), QString());
  if (p.tdc.empty()) msg_fatal("NEEDTDCFI", QString(), QString());
  pair_rows(&p);
  check_pairs(&p);
  const bool time_variant = options.time_variant || test_plans_differ(p);
  std::vector<tester_plan> testers;
  for (size_t r = 0; r < p.rio.size(); ++r) {
    const std::string& rio = options.files[p.rio[r].file];
    testers.push_back({rio, options.files[p.tdc[p.rio[r].tdc].file], rod_path_of(rio), static_cast<int>(r) + 1,
                       p.rio[r].tdc});
  }
  std::string output = rdd_report_name(options);
  return {std::move(options), std::move(testers), time_variant, std::move(output)};
}
