#include <gtest/gtest.h>

#include "merge/fields.h"
#include "support/process_trap.h"
#include "support/report_text.h"

TEST(Numeric, ConvertsTheListedPositionsOnly) {
  objet* records = classified_records(
      "SY \"name\" \"??\" \"-5\" \" 12abc\" \"99999999999999999999\"\n"
      "RD \"7\" \"b\" \"99999999999\" \"+4\" \"\"\n"
      "RE \"1\"\n");
  objet* sy = records->item;
  EXPECT_EQ(field_at(sy, 1)->type, static_cast<uint32_t>(OBJ_STRING));
  EXPECT_EQ(field_at(sy, 2)->value, 0);
  EXPECT_EQ(field_at(sy, 3)->value, -5);
  EXPECT_EQ(field_at(sy, 4)->value, 12);
  EXPECT_EQ(field_at(sy, 5)->value, -1);  // saturated 64-bit value, low 32 bits
  objet* rd = records->next->item;
  EXPECT_EQ(field_at(rd, 1)->type, static_cast<uint32_t>(OBJ_STRING));
  EXPECT_EQ(field_at(rd, 3)->value, static_cast<int32_t>(99999999999LL & 0xFFFFFFFF));
  EXPECT_EQ(field_at(rd, 4)->value, 4);
  EXPECT_EQ(field_at(rd, 5)->value, 0);
  EXPECT_EQ(field_at(records->next->next->item, 1)->type, static_cast<uint32_t>(OBJ_STRING));
  free_objet(records);
}

TEST(Numeric, RecordsTooShortForTheirKindEndTheRun) {
  // The report and line numbers after the fields must not be taken for fields.
  for (const char* text : {"DT\n", "XI \"1\" \"2\"\n", "IC \"1\" \"2\" \"3\" \"4\" \"5\" \"6\"\n"}) {
    std::string error;
    EXPECT_EQ(run_to_end([&] { classified_records(text); }, &error), 7) << text;
    EXPECT_EQ(error, "Varnet-F-UNEXPTEOF,  Unexpected end of file\n");
  }
}
