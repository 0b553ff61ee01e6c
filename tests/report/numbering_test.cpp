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

// The reader makes no record of a line the filter drops by its keyword
// alone; the filter then leaves what it leaves of the whole report, with the
// same line numbers. The line after a CO record is made whatever it is: the
// run's fate is that line.
static std::string read_and_filtered(const std::string& text, report_filter variant, bool early) {
  tree_node* report = filter_report(records_from(text, nullptr, 4, early ? &variant : nullptr), variant);
  std::string result;
  for (tree_node* node = report; node; node = node->next)
    result += std::string(node->item.rec()->keyword()) + ":" + std::to_string(node->item.rec()->line_number()) + " ";
  if (report) free_tree(report);
  return result;
}

TEST(Filter, ReadingFilteredLeavesTheSameRecords) {
  const std::string text = "RE\nXI\nPT\nCO\nXI\nDW\nCO\nCO\nSN\nDS\nCO\nFP\nZZ\nCO\nDT\n";
  for (const report_filter variant : {report_filter::default_filter, report_filter::time_filter})
    EXPECT_EQ(read_and_filtered(text, variant, true), read_and_filtered(text, variant, false));
  EXPECT_EQ(read_and_filtered(text, report_filter::time_filter, true), "RE:0 DW:5 CO:6 CO:7 SN:8 ");
  // A CO run whose next line the filter drops ends with that line, not with
  // the end of the report.
  EXPECT_EQ(read_and_filtered("RE\nRE\nCO\nXI\n", report_filter::time_filter, true), "RE:0 RE:1 ");
}
