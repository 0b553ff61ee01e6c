#include "merge/source_record.h"

#include <unistd.h>

#include <string>

#include "merge/record_walk.h"
#include "messages/emit.h"
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
  char cwd[WORKING_DIRECTORY_AREA];
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

