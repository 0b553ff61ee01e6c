#include "merge/rdd_writer.h"

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "pprint/pt_ecrit.h"
#include "report/record_kinds.h"
#include "report/record_walk.h"

record* make_rdd_header(tree_node* header_list, const char* date) {
  const record* first = header_list ? header_list->item.rec() : nullptr;
  const field plan = first ? first->at(HEADER_PLAN) : field{};
  std::string text = "MIRVA ProbeSuite \"v2.6a\" ";
  if (plan.is_text()) text += plan.text;
  text += " \"RDD file\" \"";
  text += date;
  text += '"';
  free_tree(header_list);
  return make_record(text, nullptr, 0);
}

namespace {
// Where an IE record's name is; only fields the record had when read count.
struct name_place {
  record* ie;
  field_name<kind_bit(KIND_IE)> name;
  std::string text() const { return std::string(ie->at(name).text); }
};

bool find_name(record* ie, name_place* place) {
  const uint32_t count = ie->read_fields();
  const bool zero = count >= IE_NAME_FLAG.position && ie->at(IE_NAME_FLAG).text_is("\"0\"");
  const auto name = zero ? IE_NAME_AFTER_ZERO : IE_NAME;
  if (name.position > count || !ie->at(name).is_text()) return false;
  *place = {ie, name};
  return true;
}
}  // namespace

// Every name, renamed or not, is compared with the later ones when its turn
// comes; the names still waiting are kept by text so that each turn touches
// only the names it renames.
void number_duplicate_names(tree_node* merged) {
  std::vector<name_place> names;
  auto collect = [&](tree_node* holder) {
    name_place place;
    if (record* r = holder->item.rec(); r->kind() == KIND_IE && find_name(r, &place)) names.push_back(place);
    return false;
  };
  walk_records(merged, collect);

  std::map<std::string, std::set<size_t>> waiting;
  for (size_t i = 0; i < names.size(); ++i) waiting[names[i].text()].insert(i);
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string name = names[i].text();
    auto same = waiting.find(name);
    same->second.erase(i);
    std::vector<size_t> later(same->second.begin(), same->second.end());
    if (same->second.empty()) waiting.erase(same);
    const std::string stem = name.substr(0, name.empty() ? 0 : name.size() - 1);
    int counter = 2;
    for (size_t j : later) {
      waiting[names[j].text()].erase(j);
      const std::string renamed = stem + ' ' + std::to_string(counter++) + '"';
      names[j].ie->set_at(names[j].name, field::of_text(renamed));
      waiting[renamed].insert(j);
    }
  }
}

// Only fields are trimmed: never the keyword of a record read with one field.
static void trim_last_fields(record* r) {
  const uint32_t count = r->read_fields();
  for (uint32_t position = count > 1 ? count - 1 : count; position >= 1 && position <= count; ++position) {
    if (position <= r->size() && r->at(position).type != field_type::none) r->set_at(position, field{});
  }
}

void write_rdd_records(FILE* out, const record& header, owing_tree merged) {
  record_printer printer(out);
  printer.print(header);
  auto write = [&printer, owed = merged.owed](tree_node* holder) {
    record* r = holder->item.rec();
    const writing written = facts_of(r->kind()).written;
    if (written == writing::not_written) return false;
    if (owed) move_time_fields(r, owed);
    if (written == writing::trimmed) trim_last_fields(r);
    printer.print(*r);
    return false;
  };
  walk_records(merged.tree, write);
}
