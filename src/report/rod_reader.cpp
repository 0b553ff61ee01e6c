#include "report/rod_reader.h"

#include <cstring>

#include "report/line_pieces.h"
#include "report/report_errors.h"

static uint32_t keyword_length(const char* text, uint32_t n) {
  uint32_t end = 0;
  while (end < n && text[end] != '"' && text[end] != '\n') ++end;
  while (end > 0 && text[end - 1] == ' ') --end;
  return end;
}

// Position of the quote that closes the field opened at s; a doubled quote
// stands for one quote character and does not close it.
static uint32_t closing_quote(const char* text, uint32_t n, uint32_t s) {
  for (uint32_t t = s + 1; t < n; ++t) {
    if (text[t] != '"') continue;
    if (text[t + 1] != '"') return t;
    ++t;
  }
  unexpected_end_of_report();
}

objet* split_line(objet* line) {
  const char* text = line->text;
  uint32_t n = line->length;
  objet* record = list1(make_string(text, keyword_length(text, n)));
  objet* last = record;
  // Fields are looked for from the third character on, past a two-letter keyword.
  for (uint32_t s = 2; s < n; ++s) {
    if (text[s] != '"') continue;
    uint32_t t = closing_quote(text, n, s);
    last->next = list1(make_string(text + s, t - s + 1));
    last = last->next;
    s = t;
  }
  return record;
}

objet* read_records(objet* stream, file_digest* digest) {
  FILE* file = stream->stream;
  if (digest) *digest = file_digest{};
  if (feof(file)) return nullptr;
  line_pieces pieces(file);
  objet* head = nullptr;
  objet* tail = nullptr;
  objet line{};
  line.type = OBJ_STRING;
  while (pieces.next(&line)) {
    // The node first: the passes over the chain then find it beside the
    // record's keyword cell.
    objet* node = new_node();
    node->item = split_line(&line);
    if (tail) {
      tail->next = node;
    } else {
      head = node;
    }
    tail = node;
  }
  if (digest) *digest = pieces.digest();
  return head;
}
