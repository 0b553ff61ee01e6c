#include "merge/rdd_writer.h"

#include <unistd.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "merge/classify.h"
#include "merge/fields.h"
#include "merge/name_key.h"
#include "merge/record_walk.h"
#include "messages/emit.h"
#include "pprint/pt_ecrit.h"
#include "util/crc16.h"
#include "util/out_of_memory.h"
#include "util/paths.h"

void drop_leading_cf(objet* report) {
  auto drop = [](objet* holder) {
    uint32_t kind = kind_of(holder->item);
    if (kind == KIND_XI) return true;
    if (kind == KIND_CF) {
      free_objet(holder->item);
      holder->item = nullptr;
    }
    return false;
  };
  walk_records(report, drop);
}

// A double quote inside the field is doubled, as the report reader reads
// it back; a line feed never gets here.
static objet* quoted(const std::string& text) {
  std::string field = "\"";
  for (char c : text) field += c == '"' ? std::string(2, '"') : std::string(1, c);
  field += '"';
  return make_string(field.data(), static_cast<uint32_t>(field.size()));
}

static objet* make_source_record(const char* rod_path, int32_t report_number) {
  char cwd[5000];
  if (!getcwd(cwd, sizeof cwd)) msg_severe("SIZBUFOVL", QString(), QString());
  FILE* file = open_file(rod_path, "rb");
  if (!file) msg_fatal("FICERROPN", name_arg(rod_path), QString());
  long size = fseek(file, 0, SEEK_END) == 0 ? ftell(file) : -1;
  if (size < 0 || size > INT32_MAX || fseek(file, 0, SEEK_SET) != 0)
    msg_fatal("FICERROPN", name_arg(rod_path), QString());
  // In pieces, so that no copy of the report is held beside its cells.
  unsigned char piece[65536];
  uint16_t crc = 0;
  for (long left = size; left > 0;) {
    size_t wanted = left < static_cast<long>(sizeof piece) ? static_cast<size_t>(left) : sizeof piece;
    if (fread(piece, 1, wanted, file) != wanted)
      msg_fatal("FICERROPN", name_arg(rod_path), QString());
    crc = crc16(crc, piece, static_cast<unsigned>(wanted), -1, -1);
    left -= static_cast<long>(wanted);
  }
  fclose(file);

  std::string name, directory, absolute;
  file_name_of(rod_path, name);
  dir_name_of(rod_path, directory);
  absolute_path(cwd, directory.c_str(), absolute);
  std::string relative = relative_path(cwd, absolute.c_str()).value_or(std::string());
  return list8(make_string("CF"), quoted(name), quoted(relative), quoted(absolute),
               make_long(static_cast<int32_t>(size)), make_long(crc), make_long(report_number),
               make_long(0));
}

void add_source_record(objet* report, const char* rod_path, int32_t report_number) {
  auto add = [&](objet* holder) {
    if (kind_of(holder->item) != KIND_IE) return false;
    holder->next = make_list(make_source_record(rod_path, report_number), holder->next);
    return true;
  };
  walk_records(report, add);
}

void postprocess_report(objet* report, const char* rod_path, int32_t report_number) {
  drop_leading_cf(report);
  add_source_record(report, rod_path, report_number);
}

objet* make_rdd_header(objet* header_list, objet* merged, const char* date) {
  objet* first = header_list ? header_list->item : nullptr;
  objet* field = is_record(first) ? field_at(first, 2) : nullptr;
  std::string text = "MIRVA ProbeSuite \"v2.6a\" ";
  if (is_string(field)) text += field->text;
  text += " \"RDD file\" \"";
  text += date;
  text += '"';
  if (header_list) free_objet(header_list);
  return make_list(list1(make_string(text.c_str())), merged);
}

namespace {

// The node holding an IE record's name: field 2 after a field 1 of "0",
// field 3 otherwise; only fields the record had when read count.
objet* name_node(objet* record) {
  uint32_t count = record->item->count;
  objet* first = count >= 1 ? field_at(record, 1) : nullptr;
  bool zero = is_string(first) && first->length == 3 && memcmp(first->text, "\"0\"", 3) == 0;
  int position = zero ? 2 : 3;
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

enum writing_class { WHOLE, TRIMMED, NOT_WRITTEN };

static writing_class class_of(uint32_t kind) {
  if (kind <= KIND_PO || (kind >= KIND_BF && kind <= KIND_CF)) return WHOLE;
  if (kind == KIND_TP || (kind >= KIND_FF && kind <= KIND_FR)) return NOT_WRITTEN;
  return TRIMMED;
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
  auto write = [out](objet* holder) {
    objet* record = holder->item;
    writing_class writing = class_of(kind_of(record));
    if (writing == NOT_WRITTEN) return false;
    if (writing == TRIMMED) trim_last_fields(record);
    pt_ecrit(out, record);
    return false;
  };
  walk_records(output, write);
}
