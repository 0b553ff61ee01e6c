#include <gtest/gtest.h>

#include "report/shapes.h"
#include "report/regroup.h"
#include "support/report_text.h"

// Nesting and the later passes look at keywords and first fields only, so
// plain read records serve here.
static std::string pruned(const std::string& text) {
  objet* report = prune_blocks(nested_chain(kinded_records(text)));
  std::string result = shape(report);
  free_objet(report);
  return result;
}

// Holders, group holders and groups show as one more level of parentheses:
// "((g1) (g2)) R" is a group holder with two groups, R following it.
static std::string regrouped(const std::string& text) {
  init_keyword_cells();
  objet* report = regroup_all(nested_chain(kinded_records(text)));
  std::string result = shape(report);
  free_objet(report);
  return result;
}

TEST(Prune, DaAndPpBlocksNeedARecordWithFirstFieldOne) {
  EXPECT_EQ(pruned("SY\nDA \"0\"\nPA \"2\"\nFA\nDA \"2\"\nPA \"1\"\nFA\nCF\n"), "(SY) ((DA PA FA)) (CF)");
  EXPECT_EQ(pruned("SY\nPP \"11\"\nFQ\nDA \"1x\"\nFA\nDA \"1\"\"\"\nFA\nCF\n"), "(SY) ((DA FA)) (CF)");
  // The first holder is never examined.
  EXPECT_EQ(pruned("PP \"0\"\nFQ\nSY\nCF\n"), "((PP FQ)) (SY) (CF)");
}

TEST(Prune, NestedBlocksGoWithTheirRemovedBlockOrAreExaminedOnTheirOwn) {
  EXPECT_EQ(pruned("SY\nPP \"0\"\nDA \"1\"\nFA\nFQ\nCF\n"), "(SY) - (CF)");
  EXPECT_EQ(pruned("SY\nRE\nDA \"0\"\nFA\nDA \"1\"\nFA\nFR\nCF\n"), "(SY) ((RE (DA FA) FR)) (CF)");
}

TEST(Regroup, XiDsAndDtOrXeBlocksFormGroups) {
  EXPECT_EQ(regrouped("SY\nXI\nYI\nDS\nFS\nDT\nYT\nXI\nYI\nDS\nFS\nXE\nFE\nRE\nFR\nCF\n"),
            "(SY) ((((XI YI) (DS FS) (DT YT)) ((XI YI) (DS FS) (XE FE))) (RE FR)) (CF)");
  EXPECT_EQ(regrouped("SY\nDS\nFS\nDT\nYT\nXI\nYI\nDS\nFS\nCF\n"),
            "(SY) ((((DS FS) (DT YT)) ((XI YI) (DS FS)))) (CF)");
  EXPECT_EQ(regrouped("SY\nXI\nYI\nDE\nCF\n"), "(SY) ((((XI YI))) DE) (CF)");
}

TEST(Regroup, DtOrXeTakenAloneStartsItsGroup) {
  EXPECT_EQ(regrouped("SY\nDT\nYT\nXI\nYI\nCF\n"), "(SY) ((((DT YT)) ((XI YI)))) (CF)");
}

TEST(Regroup, AChainStartingWithAnotherBlockMakesNoGroup) {
  EXPECT_EQ(regrouped("SY\nRE\nFR\nDS\nFS\nCF\n"), "(SY) (- (RE FR) (DS FS)) (CF)");
  EXPECT_EQ(regrouped("SY\nXI\nYI\nRE\nFR\nDS\nFS\nCF\n"), "(SY) ((((XI YI))) (RE FR) (DS FS)) (CF)");
}

