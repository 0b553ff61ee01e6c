#include <gtest/gtest.h>

#include <string>

#include "merge/rdd_writer.h"
#include "support/report_text.h"

namespace {
// The lines after the header line; the tree is released.
std::string written_owing(owing_tree tree) {
  record* header = make_record("H", nullptr, 0);
  const std::string text = stream_text([&](FILE* out) { write_rdd_records(out, *header, tree); });
  free_record(header);
  free_tree(tree.tree);
  EXPECT_EQ(text.substr(0, 3), "H \n");
  return text.substr(3);
}
std::string written(tree_node* tree) { return written_owing({tree}); }
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
}

TEST(RddWriter, RecordsAreWrittenWholeTrimmedOrNotAtAll) {
  const field time = field::of_number(4);
  tree_node* tree = chain({rec("XI \"7\" \"8\" \"9\"", 2, 15), make_record("TP", &time, 1, KIND_TP),
                       make_record("FF", nullptr, 0, KIND_FF), rec("BF \"a\" \"b\""), rec("FS \"a\" \"0\" \"1\" \"d\" \"e\""),
                       rec("PA \"one\"")});
  EXPECT_EQ(written(tree), "XI \"7\" \"2\" \"15\" \nBF \"a\" \"b\" \"1\" \"1\" \nFS \"a\" \"0\" \"1\" \"1\" \"1\" \n"
                           "PA \"1\" \"1\" \n");
}

// The shift a merged tree owes is paid as each record is written: the text
// is that of the tree settled first, and trimmed or unwritten records change
// nothing.
TEST(RddWriter, OwedShiftIsPaidAsRecordsAreWritten) {
  auto make_tree = [] {
    return chain({rec("XI \"7\" \"8\" \"9\"", 2, 15), rec("RD \"G7\" \"sync\" \"0\" \"5477\" \"5477\"", 1, 3),
                  rec("EV \"E2\" \"signal\" \"0\" \"info\" \"5478\"", 1, 4), rec("PA \"one\"")});
  };
  const uint32_t owed = 4000000000u;
  const std::string paid_on_the_way = written_owing({make_tree(), owed});
  const std::string settled_first = written_owing({settled({make_tree(), owed}), 0});
  EXPECT_EQ(paid_on_the_way, settled_first);
  EXPECT_NE(paid_on_the_way, written_owing({make_tree(), 0}));
}
