#include "merge/source_record.h"

#include <unistd.h>

#include <string>

#include "merge/record_walk.h"
#include "messages/emit.h"
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

static objet* make_source_record(const report_source& source) {
  char cwd[WORKING_DIRECTORY_AREA];
  if (!getcwd(cwd, sizeof cwd)) msg_severe("SIZBUFOVL", QString(), QString());
  // The size is written as a signed 32-bit field.
  if (source.bytes.size > INT32_MAX) msg_fatal("FICERROPN", name_arg(source.rod_path), QString());
  std::string name, directory, absolute;
  file_name_of(source.rod_path, name);
  dir_name_of(source.rod_path, directory);
  absolute_path(cwd, directory.c_str(), absolute);
  std::string relative = relative_path(cwd, absolute.c_str()).value_or(std::string());
  return list8(make_string("CF"), quoted(name), quoted(relative), quoted(absolute),
               make_long(static_cast<int32_t>(source.bytes.size)), make_long(source.bytes.crc),
               make_long(source.report_number), make_long(0));
}

void add_source_record(objet* report, const report_source& source) {
  auto add = [&](objet* holder) {
    if (kind_of(holder->item) != KIND_IE) return false;
    holder->next = make_list(make_source_record(source), holder->next);
    return true;
  };
  walk_records(report, add);
}

void postprocess_report(objet* report, const report_source& source) {
  drop_leading_cf(report);
  add_source_record(report, source);
}

