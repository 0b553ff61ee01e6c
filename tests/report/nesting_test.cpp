#include <gtest/gtest.h>

#include <functional>

#include "report/nesting.h"
#include "support/process_trap.h"
#include "support/report_text.h"

// The body's shape, between a first and a last record.
static std::string nested(const std::string& text) {
  objet* report = nest_blocks(kinded_records("SY\n" + text + "CF\n"));
  std::string result = shape(report);
  free_objet(report);
  return result.substr(6, result.size() - 6 - 6);
}

TEST(Nesting, FlatPairsEndAtTheFirstClosingRecord) {
  EXPECT_EQ(nested("XX\nA\nTP\nXX\nB\nTP\n"), "(XX A TP) (XX B TP)");
  EXPECT_EQ(nested("CO\nCO\nSN\nCH\nFN\nFO\nA\n"), "(CO CO SN CH FN FO) A");
  EXPECT_EQ(nested("A\nB\n"), "A B");
}

TEST(Nesting, BalancedPairsNestLikeBrackets) {
  EXPECT_EQ(nested("RE\nSC\nRE\nIT\nFR\nFR\n"), "(RE SC (RE IT FR) FR)");
  EXPECT_EQ(nested("RE\nFR\nRE\nRE\nFR\nRE\nFR\nFR\nX\n"), "(RE FR) (RE (RE FR) (RE FR) FR) X");
}

TEST(Nesting, UnpairedRecordsEndTheRun) {
  std::function<void()> roads[] = {
      [] { nested("FR\nRE\nFR\n"); },
      [] { nested("RE\nSC\n"); },
      [] { nested("RE\nRE\nFR\n"); },
      [] { nested("XX\nA\n"); },
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
  EXPECT_EQ(nested("XX\nDA\nTP\nDA\nPA\nFA\nRE\nSC\nFR\n"), "(XX DA TP) (DA PA FA) (RE SC FR)");
  objet* report = nest_blocks(kinded_records("SY\nCF\n"));
  EXPECT_EQ(shape(report), "(SY) - (CF)");
  free_objet(report);
}
