#include <gtest/gtest.h>

#include <cstring>

#include "merge/classify.h"
#include "merge/fields.h"
#include "merge/time_points.h"
#include "report/closing.h"
#include "support/process_trap.h"
#include "support/report_text.h"

static objet* closed(const std::string& text) {
  return add_closing_records(insert_time_points(classified_records(text)));
}

static std::string closed_shape(const std::string& text) {
  objet* report = closed(text);
  std::string result = shape(report);
  free_objet(report);
  return result;
}

static const char* const ev = "EV \"a\" \"b\" \"1\" \"c\" \"2\"\n";

TEST(Closing, RunsGetTheirClosingRecords) {
  EXPECT_EQ(closed_shape(std::string(ev) + "CH\nCH\nRE\nSC\nXX\n"), "EV CH CH FV RE SC FR XX TP");
  EXPECT_EQ(closed_shape(std::string(ev) + "RE\nBC\nBC\n"), "EV FV RE FR BC BC");
  EXPECT_EQ(closed_shape("PP\nPQ\nDA \"1\" \"2\" \"3\" \"4\" \"5\"\nPA\nBC\nBC\n"), "PP TP PQ FQ DA PA FA BC BC");
  // An opener that is the last record is closed right after it; a single record never is.
  EXPECT_EQ(closed_shape(std::string("BC\n") + ev), "BC EV FV");
  EXPECT_EQ(closed_shape(ev), "EV");
}

TEST(Closing, RunsReachingTheLastRecordEndTheRun) {
  for (std::string text : {std::string("BC\nRE\nSC\n"), std::string(ev) + "CH\n",
                           std::string("BC\n") + ev + "CH\nCH\n"}) {
    std::string error;
    EXPECT_EQ(run_to_end([&] { closed(text); }, &error), 7) << text;
    EXPECT_EQ(error, "Varnet-F-UNEXPTEOF,  Unexpected end of file\n");
  }
}

// A record's kind picks its key, but the text must still give strncmp's
// answer over the keyword's own length, NULs included.
TEST(Closing, KeywordTestsAgreeWithStrncmp) {
  const key_set keys = key_set_of({KIND_DW});
  objet* key = make_string("DW");
  const char alphabet[] = {'D', 'W', '\0', 'X'};
  for (int length = 2; length <= 3; ++length) {
    int combinations = 1 << (2 * length);
    for (int code = 0; code < combinations; ++code) {
      char text[4] = {};
      for (int i = 0; i < length; ++i) text[i] = alphabet[(code >> (2 * i)) & 3];
      objet* keyword = make_string(text, static_cast<uint32_t>(length));
      for (uint32_t kind = 0; kind < KEYWORD_COUNT; ++kind) {
        if (keyword_is(keyword, keyword_table[kind])) keyword->kind = kind;
      }
      bool expected = strncmp("DW", text, static_cast<size_t>(length)) == 0;
      EXPECT_EQ(keyword_in(keys, keyword), expected) << length << " " << code;
      EXPECT_EQ(equal_string(keyword, key), length == 2 && strncmp("DW", text, 2) == 0)
          << length << " " << code;
      free_objet(keyword);
    }
  }
  free_objet(key);
  // The head of the tree passes has kind 1 but is no RE record.
  objet* head = keyword_only_node("  ", 1);
  EXPECT_FALSE(keyword_in(key_set_of({KIND_RE}), head->item->item));
  free_objet(head);
}
