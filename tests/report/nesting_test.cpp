#include <gtest/gtest.h>

#include <functional>

#include "report/closing.h"
#include "report/nesting.h"
#include "support/process_trap.h"
#include "support/report_text.h"

static objet* headed(const std::string& text) {
  objet* head = keyword_only_node("  ", 1);
  head->next = records_from(text);
  return head;
}

static std::string nested(void (*pass)(objet*, const char*, const char*), const std::string& text,
                          const char* opening, const char* closing) {
  objet* head = headed(text);
  pass(head, opening, closing);
  std::string result = shape(head->next);
  free_objet(head);
  return result;
}

TEST(Nesting, FlatPairsEndAtTheFirstClosingRecord) {
  EXPECT_EQ(nested(nest_flat, "XX\nA\nTP\nXX\nB\nTP\n", "XX", "TP"), "(XX A TP) (XX B TP)");
  EXPECT_EQ(nested(nest_flat, "CO\nCO\nSN\nCH\nFN\nFO\nA\n", "CO", "FO"), "(CO CO SN CH FN FO) A");
  EXPECT_EQ(nested(nest_flat, "A\nB\n", "XX", "TP"), "A B");
}

TEST(Nesting, BalancedPairsNestLikeBrackets) {
  EXPECT_EQ(nested(nest_balanced, "RE\nSC\nRE\nIT\nFR\nFR\n", "RE", "FR"), "(RE SC (RE IT FR) FR)");
  EXPECT_EQ(nested(nest_balanced, "RE\nFR\nRE\nRE\nFR\nRE\nFR\nFR\nX\n", "RE", "FR"),
            "(RE FR) (RE (RE FR) (RE FR) FR) X");
}

TEST(Nesting, UnpairedRecordsEndTheRun) {
  std::function<void()> roads[] = {
      [] { nested(nest_balanced, "FR\nRE\nFR\n", "RE", "FR"); },
      [] { nested(nest_balanced, "RE\nSC\n", "RE", "FR"); },
      [] { nested(nest_balanced, "RE\nRE\nFR\n", "RE", "FR"); },
      [] { nested(nest_flat, "XX\nA\n", "XX", "TP"); },
      [] { nest_blocks(records_from("A\n")); },
      [] { nest_blocks(nullptr); },
  };
  for (auto& road : roads) {
    std::string error;
    EXPECT_EQ(run_to_end(road, &error), 7);
    EXPECT_EQ(error, "Varnet-F-UNEXPTEOF,  Unexpected end of file\n");
  }
}

TEST(Nesting, BlocksAreOpaqueToLaterPairsAndTheTopIsSplitInThree) {
  objet* report = nest_blocks(records_from("SY\nXX\nDA\nTP\nDA\nPA\nFA\nRE\nSC\nFR\nCF\n"));
  EXPECT_EQ(shape(report), "(SY) ((XX DA TP) (DA PA FA) (RE SC FR)) (CF)");
  free_objet(report);
  report = nest_blocks(records_from("SY\nCF\n"));
  EXPECT_EQ(shape(report), "(SY) - (CF)");
  free_objet(report);
}
