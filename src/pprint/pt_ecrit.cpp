#include "pprint/pt_ecrit.h"

void pt_ecrit(objet* out, objet* cell) {
  FILE* stream = out->stream;
  switch (cell->type) {
    case OBJ_STRING:
      fprintf(stream, "%s ", cell->text);
      break;
    case OBJ_INT:
      fprintf(stream, "\"%d\" ", cell->value);
      break;
    case OBJ_LONG:
      fprintf(stream, "\"%ld\" ", static_cast<long>(cell->value));
      break;
    case OBJ_STREAM:
      fputs("<flux> ", stream);
      break;
    case OBJ_LIST:
      for (objet* node = cell;; node = node->next) {
        if (node->item) pt_ecrit(out, node->item);
        if (!is_list(node->next)) break;
      }
      fputc('\n', stream);
      break;
    default:
      // Callbacks have no report syntax; nothing is written for them.
      break;
  }
}
