#include <gtest/gtest.h>

#include "merge/fields.h"
#include "support/report_text.h"

TEST(Fields, PositionsPastTheRecordGiveNothing) {
  objet* record = records_from("SY \"a\" \"b\"\n");
  objet* fields = record->item;
  EXPECT_STREQ(field_at(fields, 0)->text, "SY");
  EXPECT_STREQ(field_at(fields, 2)->text, "\"b\"");
  EXPECT_EQ(field_at(fields, 3), nullptr);
  EXPECT_EQ(field_at(nullptr, 0), nullptr);
  EXPECT_EQ(replace_field(fields, 5, make_long(1)), nullptr);
  objet* old = replace_field(fields, 1, make_long(7));
  EXPECT_STREQ(old->text, "\"a\"");
  EXPECT_EQ(field_at(fields, 1)->value, 7);
  free_objet(old);
  free_objet(record);
}

TEST(Fields, NodeAtStopsAtAnAtomInTheChain) {
  objet* chain = list1(make_string("a"));
  objet* atom = make_string("b");
  chain->next = atom;  // a broken chain must not be walked through
  EXPECT_EQ(node_at(chain, 0), chain);
  EXPECT_EQ(node_at(chain, 1), nullptr);
  EXPECT_EQ(node_at(chain, 2), nullptr);
  chain->next = nullptr;
  free_objet(atom);
  free_objet(chain);
}
