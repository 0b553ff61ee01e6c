#include <gtest/gtest.h>

#include "report/objet.h"
#include "support/process_trap.h"

TEST(Objet, CompactDropsLeadingMarkedNodes) {
  objet* chain = list4(make_string("a"), make_string("b"), make_string("c"), make_string("d"));
  mark_for_removal(chain);
  mark_for_removal(chain->next);
  mark_for_removal(chain->next->next);
  objet* rest = compact(chain);
  ASSERT_NE(rest, nullptr);
  EXPECT_STREQ(rest->item->text, "d");
  EXPECT_EQ(rest->next, nullptr);
  free_objet(rest);
}

TEST(Objet, ParseLongReadsQuotedNumbers) {
  objet* unknown = parse_long("\"??\"", 4);
  objet* negative = parse_long("\"-12\"", 5);
  EXPECT_EQ(unknown->value, 0);
  EXPECT_EQ(negative->value, -12);
  free_objet(unknown);
  free_objet(negative);
}
