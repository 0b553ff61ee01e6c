#include <gtest/gtest.h>

#include <functional>

#include "report/closing.h"
#include "report/nesting.h"
#include "support/process_trap.h"
#include "support/report_text.h"

static objet* headed(const std::string& text) {
  objet* head = keyword_only_node("  ", 1);
  head->next = kinded_records(text);
  return head;
}

static std::string nested(void (*pass)(objet*, uint32_t, uint32_t), const std::string& text,
                          uint32_t opening, uint32_t closing) {
  objet* head = headed(text);
  pass(head, opening, closing);
  std::string result = shape(head->next);
  free_objet(head);
  return result;
}

TEST(Nesting, FlatPairsEndAtTheFirstClosingRecord) {
  EXPECT_EQ(nested(nest_flat, "XX\nA\nTP\nXX\nB\nTP\n", KIND_XX, KIND_TP), "(XX A TP) (XX B TP)");
  EXPECT_EQ(nested(nest_flat, "CO\nCO\nSN\nCH\nFN\nFO\nA\n", KIND_CO, KIND_FO),
            "(CO CO SN CH FN FO) A");
  EXPECT_EQ(nested(nest_flat, "A\nB\n", KIND_XX, KIND_TP), "A B");
}

TEST(Nesting, BalancedPairsNestLikeBrackets) {
  EXPECT_EQ(nested(nest_balanced, "RE\nSC\nRE\nIT\nFR\nFR\n", KIND_RE, KIND_FR),
            "(RE SC (RE IT FR) FR)");
  EXPECT_EQ(nested(nest_balanced, "RE\nFR\nRE\nRE\nFR\nRE\nFR\nFR\nX\n", KIND_RE, KIND_FR),
            "(RE FR) (RE (RE FR) (RE FR) FR) X");
}

TEST(Nesting, UnpairedRecordsEndTheRun) {
  std::function<void()> roads[] = {
      [] { nested(nest_balanced, "FR\nRE\nFR\n", KIND_RE, KIND_FR); },
      [] { nested(nest_balanced, "RE\nSC\n", KIND_RE, KIND_FR); },
      [] { nested(nest_balanced, "RE\nRE\nFR\n", KIND_RE, KIND_FR); },
      [] { nested(nest_flat, "XX\nA\n", KIND_XX, KIND_TP); },
      [] { nest_blocks(kinded_records("A\n")); },
      [] { nest_blocks(nullptr); },
  };
  for (auto& road : roads) {
    std::string error;
    EXPECT_EQ(run_to_end(road, &error), 7);
    EXPECT_EQ(error, "Varnet-F-UNEXPTEOF,  Unexpected end of file\n");
  }
}

TEST(Nesting, BlocksAreOpaqueToLaterPairsAndTheTopIsSplitInThree) {
  objet* report = nest_blocks(kinded_records("SY\nXX\nDA\nTP\nDA\nPA\nFA\nRE\nSC\nFR\nCF\n"));
  EXPECT_EQ(shape(report), "(SY) ((XX DA TP) (DA PA FA) (RE SC FR)) (CF)");
  free_objet(report);
  report = nest_blocks(kinded_records("SY\nCF\n"));
  EXPECT_EQ(shape(report), "(SY) - (CF)");
  free_objet(report);
}
