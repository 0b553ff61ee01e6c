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

// The reader does classification's and conversion's work where it can, and
// says where it could not, so that those passes still go over the report.
TEST(RodReader, TellsTheWorkLeftToThePasses) {
  struct expected_work {
    std::string text;
    bool kinds_stamped, fields_converted;
  };
  const expected_work cases[] = {
      {"ZZ \"header\"\nXI \"3467\" \"0\" \"0\"\n", true, true},  // the header line is never classified
      {"MI \"h\"\nXI \"1\" \"0\" \"0\"\nZZ \"1\"\n", false, true},  // an unknown keyword
      {"MI \"h\"\nXI \"1\" \"2\"\n", true, false},                   // a field the kind converts is missing
      {"MI \"h\"\nXI \"99999999999\" \"0\" \"0\"\n", true, false},   // a time out of range stays text
  };
  for (const expected_work& c : cases) {
    SCOPED_TRACE(c.text);
    reader_work done;
    tree_node* records = records_from(c.text, &done);
    EXPECT_EQ(done.every_kind_stamped, c.kinds_stamped);
    EXPECT_EQ(done.every_field_converted, c.fields_converted);
    EXPECT_EQ(records->item.rec()->kind(), NO_KIND);
    EXPECT_EQ(records->next->item.rec()->kind(), KIND_XI);
    free_tree(records);
  }
}

// Numbered as it reads, the reader gives the lines after the header what
// numbering gives them.
TEST(RodReader, NumbersTheLinesAfterTheHeader) {
  tree_node* records = records_from("MI \"h\"\nXI \"1\" \"0\" \"0\"\nZZ\n", nullptr, 3);
  EXPECT_FALSE(records->item.rec()->holds_numbers());
  for (int32_t line : {1, 2}) {
    records = drop_first(records);
    const record* r = records->item.rec();
    ASSERT_TRUE(r->holds_numbers());
    EXPECT_EQ(r->report_number(), 3);
    EXPECT_EQ(r->line_number(), line);
  }
  free_tree(records);
}
