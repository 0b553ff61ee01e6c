#include "report/source_record.h"

#include <unistd.h>

#include <string>

#include <vector>

#include "messages/emit.h"
#include "report/record_kinds.h"
#include "report/record_walk.h"
#include "util/paths.h"

void drop_leading_cf(tree_node* report) {
  auto drop = [](tree_node* holder) {
    const uint32_t kind = holder->item.rec()->kind();
    if (kind == KIND_XI) return true;
    if (kind == KIND_CF) {
      free_item(holder->item);
      holder->item = nullptr;
    }
    return false;
  };
  walk_records(report, drop);
}

// A double quote inside the field is doubled, as the report reader reads
// it back; a line feed never gets here.
static std::string quoted(const std::string& text) {
  std::string field = "\"";
  for (char c : text) field += c == '"' ? std::string(2, '"') : std::string(1, c);
  field += '"';
  return field;
}

static record* make_source_record(const report_source& source) {
  char cwd[WORKING_DIRECTORY_AREA];
  if (!getcwd(cwd, sizeof cwd)) msg_severe("SIZBUFOVL", QString(), QString());
  // The size is written as a signed 32-bit field.
  if (source.bytes.size > INT32_MAX) msg_fatal("FICERROPN", name_arg(source.rod_path), QString());
  std::string name, directory, absolute;
  file_name_of(source.rod_path, name);
  dir_name_of(source.rod_path, directory);
  absolute_path(cwd, directory.c_str(), absolute);
  std::string relative = relative_path(cwd, absolute.c_str()).value_or(std::string());
  const std::string texts[] = {quoted(name), quoted(relative), quoted(absolute)};
  const std::vector<field> fields = {field::of_text(texts[0]),
                                     field::of_text(texts[1]),
                                     field::of_text(texts[2]),
                                     field::of_number(static_cast<int32_t>(source.bytes.size)),
                                     field::of_number(source.bytes.crc),
                                     field::of_number(source.report_number),
                                     field::of_number(0)};
  return make_record(keyword_table[KIND_CF].keyword, fields, KIND_CF);
}

void add_source_record(tree_node* report, const report_source& source) {
  auto add = [&](tree_node* holder) {
    if (holder->item.rec()->kind() != KIND_IE) return false;
    holder->next = make_list(make_source_record(source), holder->next);
    return true;
  };
  walk_records(report, add);
}

void postprocess_report(tree_node* report, const report_source& source) {
  drop_leading_cf(report);
  add_source_record(report, source);
}

