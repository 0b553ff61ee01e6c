#include "record_kinds.h"

#include <algorithm>
#include <iterator>

namespace {

struct keyword_facts {
  std::string_view keyword;
  unsigned time_field;
  int shared_prefix;
  std::string_view closing;
};

// Time fields as the merger evaluates them; YI, YT, FE and FS only carry a
// fixed time, which the timeline ignores.
const keyword_facts FACTS[] = {
    {"XI", 1, 1, "YI"}, {"DT", 1, 1, "YT"}, {"XE", 1, 1, "FE"}, {"DS", 5, 5, "FS"},
    {"DB", 0, -1, "BF"}, {"YI", 0, 0, ""},  {"YT", 0, 0, ""},   {"FE", 0, 0, ""},
    {"FS", 0, 3, ""},    {"BF", 0, -1, ""}, {"DP", 2, -1, ""},  {"DA", 5, -1, ""},
    {"DW", 5, -1, ""},   {"EV", 5, -1, ""}, {"SN", 6, -1, ""},  {"RD", 5, -1, ""},
    {"FW", 5, -1, ""},   {"FT", 2, -1, ""}, {"TN", 2, -1, ""},  {"TF", 2, -1, ""},
    {"FB", 2, -1, ""},   {"IC", 7, -1, ""}, {"ID", 5, -1, ""},
};

const keyword_facts* facts_of(std::string_view keyword) {
  for (const keyword_facts& f : FACTS)
    if (f.keyword == keyword) return &f;
  return nullptr;
}

} // namespace

unsigned time_field_of(std::string_view keyword) {
  const keyword_facts* f = facts_of(keyword);
  return f ? f->time_field : 0;
}

bool opens_kept_block(std::string_view keyword) { return !closing_keyword_of(keyword).empty(); }

bool closes_kept_block(std::string_view keyword) {
  for (const keyword_facts& f : FACTS)
    if (f.closing == keyword) return true;
  return false;
}

std::string_view closing_keyword_of(std::string_view opening) {
  const keyword_facts* f = facts_of(opening);
  return f ? f->closing : std::string_view();
}

int shared_prefix_of(std::string_view keyword) {
  const keyword_facts* f = facts_of(keyword);
  return f ? f->shared_prefix : -1;
}

bool written_whole(std::string_view keyword) {
  static const std::string_view WHOLE[] = {"SY", "RE", "SC", "IT", "DE", "PR", "PE", "RU", "PO", "BF", "BC", "DB", "IE", "CF"};
  return std::find(std::begin(WHOLE), std::end(WHOLE), keyword) != std::end(WHOLE);
}
