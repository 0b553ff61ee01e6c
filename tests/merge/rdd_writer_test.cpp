#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "merge/rdd_writer.h"
#include "support/report_text.h"

namespace {
// The lines after the header line.
std::string written(tree_node* tree, size_t threads = 1) {
  record* header = make_record("H", nullptr, 0);
  const std::string text = stream_text([&](FILE* out) { write_rdd_records(out, *header, tree, threads); });
  free_record(header);
  EXPECT_EQ(text.substr(0, 3), "H \n");
  return text.substr(3);
}
}  // namespace

TEST(RddWriter, DuplicateNamesAreNumberedAsRenamedSoFar) {
  tree_node* tree = chain({rec("IE \"0\" \"T\""), rec("IE \"1\" \"x\" \"T\""), rec("IE \"0\" \"T\""),
                       rec("IE \"0\" \"A\""), rec("IE \"0\" \"B\""), rec("IE \"0\" \"A\""),
                       rec("IE \"0\" \"B\""), rec("IE \"0\"")});
  number_duplicate_names(tree);
  EXPECT_EQ(written(tree),
            "IE \"0\" \"T\" \"1\" \"1\" \nIE \"1\" \"x\" \"T 2\" \"1\" \"1\" \nIE \"0\" \"T 3\" \"1\" \"1\" \n"
            "IE \"0\" \"A\" \"1\" \"1\" \nIE \"0\" \"B\" \"1\" \"1\" \nIE \"0\" \"A 2\" \"1\" \"1\" \n"
            "IE \"0\" \"B 2\" \"1\" \"1\" \nIE \"0\" \"1\" \"1\" \n");
  free_tree(tree);
}

TEST(RddWriter, RecordsAreWrittenWholeTrimmedOrNotAtAll) {
  const field time = field::of_number(4);
  tree_node* tree = chain({rec("XI \"7\" \"8\" \"9\"", 2, 15), make_record("TP", &time, 1, KIND_TP),
                       make_record("FF", nullptr, 0, KIND_FF), rec("BF \"a\" \"b\""), rec("FS \"a\" \"0\" \"1\" \"d\" \"e\""),
                       rec("PA \"one\"")});
  EXPECT_EQ(written(tree), "XI \"7\" \"2\" \"15\" \nBF \"a\" \"b\" \"1\" \"1\" \nFS \"a\" \"0\" \"1\" \"1\" \"1\" \n"
                           "PA \"1\" \"1\" \n");
  free_tree(tree);
}

// Pieces formatted on other threads come out in order, each record trimmed
// as on one thread: several pieces of records at two depths.
TEST(RddWriter, ThreadsWriteTheSameBytes) {
  const int count = 3 * RECORDS_A_PIECE + 17;
  auto make_tree = [count] {
    tree_node* body = nullptr;
    tree_node* last = nullptr;
    for (int i = 0; i < count; ++i) {
      const std::string n = "\"" + std::to_string(i) + "\"";
      tree_node* node = list1(i % 7 == 3 ? tree_item(chain({rec("DB " + n + " \"b\""), rec("BF " + n + " \"b\"")}))
                                         : tree_item(rec("FS " + n + " \"0\" \"1\" \"d\" \"e\"", 1, i)));
      (last ? last->next : body) = node;
      last = node;
    }
    return chain({tree_item(chain({rec("PA \"one\"")})), tree_item(body)});
  };
  tree_node* one = make_tree();
  tree_node* four = make_tree();
  const std::string alone = written(one, 1);
  EXPECT_EQ(written(four, 4), alone);
  EXPECT_EQ(std::count(alone.begin(), alone.end(), '\n'), 1 + count + (count + 3) / 7);
  free_tree(one);
  free_tree(four);
}
