#include <gtest/gtest.h>

#include "support/process_trap.h"
#include "support/report_text.h"

static field field_of(tree_node* records, int record, uint32_t position) {
  while (record-- > 0) records = records->next;
  return records->item.rec()->at(position);
}

TEST(RodReader, EmptyFileAndShortLines) {
  EXPECT_EQ(records_from(""), nullptr);
  // Fields are looked for from the third character on, whatever the keyword:
  // the quotes at the start of the third line open no field.
  tree_node* records = records_from("\n \n\"\"\nA \"bc\"\n");
  EXPECT_EQ(shape(records), "   A");
  EXPECT_EQ(field_of(records, 2, 1).type, field_type::none);
  EXPECT_EQ(field_of(records, 3, 1).text, "\"bc\"");
  free_tree(records);
}

TEST(RodReader, LongLinesAreReadInPieces) {
  // 5118 characters and the line feed fill the buffer: still one line.
  tree_node* whole = records_from("AB \"" + std::string(5113, 'x') + "\"\nCD\n");
  EXPECT_EQ(shape(whole), "AB CD");
  free_tree(whole);
  std::string first_piece = "AB" + std::string(5117, ' ');
  std::string rest = "CD \"z\"" + std::string(875, ' ') + "\n";
  tree_node* records = records_from(first_piece + rest + "EF \"1\"\n");
  EXPECT_EQ(shape(records), "AB CD EF");
  EXPECT_EQ(field_of(records, 1, 1).text, "\"z\"");
  free_tree(records);
}

TEST(RodReader, UnclosedFieldsEndTheRun) {
  // The last two: a quote at the third character opens a field; a field cut
  // by the end of a 5119-character piece is unclosed.
  std::initializer_list<std::string> texts = {"AB \"x\n", "AB \"x\"\"\n", "AB \"a\" \"b", "A\"bc\"\n",
                                               "AB \"" + std::string(5200, 'x') + "\"\n"};
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    expect_fatal([&] { records_from(text); });
  }
}
