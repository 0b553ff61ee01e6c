// The least a merger built on the report records must do: every ROD report
// read into its records and numbered, all of them held at once (the merged
// tree is whole before it is written), then written back record by record.
// scripts/bench --floor sets its time and memory beside the merger's.
//
//   cell_floor OUTPUT ROD...

#include <cstdio>
#include <vector>

#include "pprint/pt_ecrit.h"
#include "report/numbering.h"
#include "report/rod_reader.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: cell_floor OUTPUT ROD...\n");
    return 2;
  }
  std::vector<tree_node*> reports;
  for (int i = 2; i < argc; ++i) {
    FILE* file = fopen(argv[i], "r");
    if (!file) {
      perror(argv[i]);
      return 1;
    }
    tree_node* records = read_records(file);
    const bool unreadable = ferror(file);
    fclose(file);
    if (unreadable) {
      fprintf(stderr, "%s: read error\n", argv[i]);
      return 1;
    }
    reports.push_back(number_records(i - 1, records));
  }
  FILE* output = fopen(argv[1], "w");
  if (!output) {
    perror(argv[1]);
    return 1;
  }
  setvbuf(output, nullptr, _IOFBF, 1 << 20);
  {
    record_printer printer(output);
    for (tree_node* records : reports)
      for (tree_node* node = records; node; node = node->next) printer.print(*node->item.rec());
  }
  for (tree_node* records : reports) free_at_exit(records);
  return fclose(output) == 0 ? 0 : 1;
}
