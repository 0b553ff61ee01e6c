#include "merge/rdd_writer.h"

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "merge/fields.h"
#include "merge/shapes.h"
#include "merge/name_key.h"
#include "merge/record_walk.h"
#include "pprint/pt_ecrit.h"

objet* make_rdd_header(objet* header_list, objet* merged, const char* date) {
  enum { PLAN = 2 };  // the field of a report's header line that names its test plan
  objet* first = header_list ? header_list->item : nullptr;
  objet* field = is_record(first) ? field_at(first, PLAN) : nullptr;
  std::string text = "MIRVA ProbeSuite \"v2.6a\" ";
  if (is_string(field)) text += field->text;
  text += " \"RDD file\" \"";
  text += date;
  text += '"';
  if (header_list) free_objet(header_list);
  return make_list(list1(make_string(text.c_str())), merged);
}

namespace {

// The node holding an IE record's name; only fields the record had when read
// count.
objet* name_node(objet* record) {
  uint32_t count = record->item->count;
  objet* flag = count >= IE_NAME_FLAG ? field_at(record, IE_NAME_FLAG) : nullptr;
  bool zero = is_string(flag) && flag->length == 3 && memcmp(flag->text, "\"0\"", 3) == 0;
  int position = zero ? IE_NAME_AFTER_ZERO : IE_NAME;
  if (static_cast<uint32_t>(position) > count) return nullptr;
  objet* node = node_at(record, position);
  return node && is_string(node->item) ? node : nullptr;
}
}  // namespace

// Every name, renamed or not, is compared with the later ones when its turn
// comes; the names still waiting are kept by text so that each turn touches
// only the names it renames.
void number_duplicate_names(objet* output) {
  std::vector<objet*> names;
  auto collect = [&](objet* holder) {
    if (kind_of(holder->item) == KIND_IE)
      if (objet* node = name_node(holder->item)) names.push_back(node);
    return false;
  };
  walk_records(output, collect);

  std::map<name_key, std::set<size_t>> waiting;
  for (size_t i = 0; i < names.size(); ++i) waiting[key_of(names[i]->item)].insert(i);
  for (size_t i = 0; i < names.size(); ++i) {
    objet* name = names[i]->item;
    auto same = waiting.find(key_of(name));
    same->second.erase(i);
    std::vector<size_t> later(same->second.begin(), same->second.end());
    if (same->second.empty()) waiting.erase(same);
    std::string stem(name->text, strnlen(name->text, name->length ? name->length - 1 : 0));
    int counter = 2;
    for (size_t j : later) {
      waiting[key_of(names[j]->item)].erase(j);
      std::string renamed = stem + ' ' + std::to_string(counter++) + '"';
      objet* cell = make_string(renamed.data(), static_cast<uint32_t>(renamed.size()));
      free_objet(names[j]->item);
      names[j]->item = cell;
      waiting[key_of(cell)].insert(j);
    }
  }
}

// Only fields are trimmed: never the keyword of a record read with one field.
static void trim_last_fields(objet* record) {
  uint32_t count = record->item->count;
  for (uint32_t position = count > 1 ? count - 1 : count; position >= 1 && position <= count; ++position) {
    objet* node = node_at(record, static_cast<int>(position));
    if (node && node->item) {
      free_objet(node->item);
      node->item = nullptr;
    }
  }
}

void write_rdd_records(objet* out, objet* output) {
  cell_printer printer(out);
  auto write = [&printer](objet* holder) {
    objet* record = holder->item;
    const writing written = facts_of(kind_of(record)).written;
    if (written == writing::not_written) return false;
    if (written == writing::trimmed) trim_last_fields(record);
    printer.print(record);
    return false;
  };
  walk_records(output, write);
}
