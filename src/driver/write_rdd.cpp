#include "driver/write_rdd.h"

#include "merge/rdd_writer.h"
#include "messages/emit.h"
#include "report/record_kinds.h"
#include "util/replacement_file.h"

void write_rdd_report(const std::string& output, owing_tree merged, tree_node* headers, const char* start_date) {
  record* header = make_rdd_header(headers, start_date);
  replacement_file file;
  if (!open_replacement(output.c_str(), &file)) {
    // The tree goes before any fatal end, so that nothing is left behind.
    free_record(header);
    free_tree(merged.tree);
    msg_fatal("FICNOTOPN", name_arg(output.c_str()), QString());
  }
  setvbuf(file.stream, nullptr, _IOFBF, 1 << 20);
  number_duplicate_names(merged.tree);
  write_rdd_records(file.stream, *header, merged);
  free_record(header);
  free_at_exit(merged.tree);
  if (!commit_replacement(&file)) msg_fatal("FICERROPN", name_arg(output.c_str()), QString());
}

void release_rdd_report() { free_keyword_records(); }
