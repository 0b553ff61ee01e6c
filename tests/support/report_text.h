#pragma once

// Builds reports from ROD text and renders their shape, for the report tests.

#include <cstdio>
#include <string>

#include "merge/classify.h"
#include "merge/numeric.h"
#include "report/numbering.h"
#include "report/objet.h"
#include "report/rod_reader.h"

// records_from: text read as a ROD report would be read.
// classified_records: read, numbered as report 1 and classified; with convert,
//   the numeric fields also become long cells.
// shape: the keywords of a chain, blocks and groups in parentheses, empty
//   items as "-", e.g. "XX (EV CH FV) ((XI YI) (DS FS))".
// keyword_cell: keyword cell of a record made by a pass, with its kind.

inline objet* records_from(const std::string& text) {
  std::string copy = text;
  FILE* file = copy.empty() ? fopen("/dev/null", "r") : fmemopen(copy.data(), copy.size(), "r");
  objet* stream = new_objet(OBJ_STREAM);
  stream->stream = file;
  objet* records = read_records(stream);
  close_stream(stream);
  free_objet(stream);
  return records;
}

inline objet* classified_records(const std::string& text, bool convert = true) {
  init_keyword_cells();
  objet* number = make_int(1);
  objet* records = number_records(number, records_from(text));
  free_objet(number);
  classify_records(records);
  if (convert) convert_numeric_fields(records);
  return records;
}

inline void append_shape(objet* chain, std::string* out) {
  for (objet* node = chain; is_list(node); node = node->next) {
    if (node != chain) *out += ' ';
    objet* item = node->item;
    if (!item) {
      *out += '-';
    } else if (is_record(item)) {
      *out += item->item->text;
    } else if (is_list(item)) {
      *out += '(';
      append_shape(item, out);
      *out += ')';
    } else {
      *out += '?';
    }
  }
}

inline std::string shape(objet* chain) {
  std::string out;
  append_shape(chain, &out);
  return out;
}

inline objet* keyword_cell(const char* keyword, uint32_t kind) {
  objet* cell = make_string(keyword);
  cell->kind = kind;
  return cell;
}
