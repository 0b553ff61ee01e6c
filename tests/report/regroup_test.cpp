#include <gtest/gtest.h>

#include "report/shapes.h"
#include "report/regroup.h"
#include "support/report_text.h"

// Nesting and the later passes look at keywords and first fields only, so
// plain read records serve here. Holders, group holders and groups show as
// one more level of parentheses: "((g1) (g2)) R" is a group holder with two
// groups, R following it.
TEST(PruneAndRegroup, ShapesOfTheNestedReport) {
  const struct {
    tree_node* (*pass)(tree_node*);
    const char* text;
    const char* shape;
  } cases[] = {
      // DA and PP blocks need a record with first field "1"; the first holder is never examined.
      {prune_blocks, "SY\nDA \"0\"\nPA \"2\"\nFA\nDA \"2\"\nPA \"1\"\nFA\nCF\n", "(SY) ((DA PA FA)) (CF)"},
      {prune_blocks, "SY\nPP \"11\"\nFQ\nDA \"1x\"\nFA\nDA \"1\"\"\"\nFA\nCF\n", "(SY) ((DA FA)) (CF)"},
      {prune_blocks, "PP \"0\"\nFQ\nSY\nCF\n", "((PP FQ)) (SY) (CF)"},
      // Nested blocks go with their removed block or are examined on their own.
      {prune_blocks, "SY\nPP \"0\"\nDA \"1\"\nFA\nFQ\nCF\n", "(SY) - (CF)"},
      {prune_blocks, "SY\nRE\nDA \"0\"\nFA\nDA \"1\"\nFA\nFR\nCF\n", "(SY) ((RE (DA FA) FR)) (CF)"},
      // XI, DS and DT or XE blocks form groups; a DT or XE taken alone starts its group.
      {regroup_all, "SY\nXI\nYI\nDS\nFS\nDT\nYT\nXI\nYI\nDS\nFS\nXE\nFE\nRE\nFR\nCF\n",
       "(SY) ((((XI YI) (DS FS) (DT YT)) ((XI YI) (DS FS) (XE FE))) (RE FR)) (CF)"},
      {regroup_all, "SY\nDS\nFS\nDT\nYT\nXI\nYI\nDS\nFS\nCF\n", "(SY) ((((DS FS) (DT YT)) ((XI YI) (DS FS)))) (CF)"},
      {regroup_all, "SY\nXI\nYI\nDE\nCF\n", "(SY) ((((XI YI))) DE) (CF)"},
      {regroup_all, "SY\nDT\nYT\nXI\nYI\nCF\n", "(SY) ((((DT YT)) ((XI YI)))) (CF)"},
      // A chain starting with another block makes no group.
      {regroup_all, "SY\nRE\nFR\nDS\nFS\nCF\n", "(SY) (- (RE FR) (DS FS)) (CF)"},
      {regroup_all, "SY\nXI\nYI\nRE\nFR\nDS\nFS\nCF\n", "(SY) ((((XI YI))) (RE FR) (DS FS)) (CF)"},
  };
  init_keyword_records();
  for (const auto& c : cases) {
    tree_node* report = c.pass(nested_chain(kinded_records(c.text)));
    EXPECT_EQ(shape(report), c.shape) << c.text;
    free_tree(report);
  }
}
