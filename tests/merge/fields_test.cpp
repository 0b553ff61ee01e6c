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
