#include <gtest/gtest.h>

#include "report/numbering.h"
#include "support/process_trap.h"
#include "support/report_text.h"

static std::string filtered(const std::string& text, report_filter variant) {
  tree_node* report = filter_report(number_records(4, records_from(text)), variant);
  std::string result = shape(report);
  if (report) free_tree(report);
  return result;
}

TEST(Filter, VariantsKeepTheirTables) {
  EXPECT_EQ(filtered("DS\nPT\nDP\nFP\nSE\nZZ\nXI\nREX\n", report_filter::default_filter), "DS ZZ XI REX");
  EXPECT_EQ(filtered("DS\nPT\nDP\nFP\nSE\nZZ\nXI\nREX\n", report_filter::time_filter), "REX");
  // Short keywords and empty lines: kept by A (classification refuses them).
  EXPECT_EQ(filtered("R\n\nRE\n", report_filter::default_filter), "R  RE");
  EXPECT_EQ(filtered("UN\nUN\n", report_filter::default_filter), "");
}

TEST(Filter, RunsOfCoRecordsFollowTheirNextRecord) {
  EXPECT_EQ(filtered("CO\nCO\nDW\nCO\nSN\nCO\nCO\nRE\nCO\nPT\nDW\n", report_filter::default_filter),
            "CO CO DW CO SN RE DW");
  expect_fatal([] { filtered("RE\nCO\nCO\n", report_filter::default_filter); });
}
