#include <gtest/gtest.h>

#include <string>

#include "driver/shape_report.h"
#include "report/shapes.h"
#include "report/time_points.h"
#include "support/process_trap.h"
#include "support/report_text.h"
#include "support/scratch_dir.h"

class ShapeReport : public testing::Test {
 protected:
  void SetUp() override { init_keyword_records(); }
  record_chain headers;
  void TearDown() override { free_tree(headers.take()); }
  tree_node* shaped(const std::string& text, bool time_variant) {
    write_file("report.rod", text);
    return shape_report("report.rod", 3, time_variant, &headers);
  }

  scratch_dir scratch;
};

static const char* const report_text =
    "HD \"header\"\n"
    "CF \"plan\"\n"
    "XI \"100\" \"1\" \"2\"\n"
    "YI \"0\"\n"
    "DS \"a\" \"b\" \"c\" \"d\" \"150\" \"6\" \"7\"\n"
    "FS \"x\" \"0\"\n"
    "DT \"160\"\n"
    "YT \"0\"\n"
    "SY \"s\" \"1\" \"2\" \"3\" \"4\"\n"
    "UN \"dropped\"\n"
    "DA \"0\" \"b\" \"1\" \"2\" \"170\"\n"
    "PA \"p\"\n"
    "XX \"x\"\n"
    "CF \"end\"\n";

// The time variant drops the group constructs; both keep a header per report aside.
TEST_F(ShapeReport, VariantsAndTheirHeaders) {
  tree_node* report = shaped(report_text, false);
  EXPECT_EQ(shape(report), "(CF) ((((XI YI) (DS FS) (DT YT))) SY (XX TP)) (CF)");
  // The XX time point took the time of the DA record pruned since.
  const record* tp = report->next->item.list()->next->next->item.list()->next->item.rec();
  EXPECT_EQ(tp->at(1).number, 170);
  free_tree(report);
  report = shaped(report_text, true);
  EXPECT_EQ(shape(report), "(CF) (SY (XX TP)) (CF)");
  free_tree(report);
  report = shaped("H3\nSY \"s\" \"1\" \"2\" \"3\" \"4\"\nCF\n", true);
  EXPECT_EQ(shape(report), "(SY) - (CF)");
  EXPECT_EQ(shape(headers.head()), "HD HD H3");
  free_tree(report);
}

// A missing or unreadable report: fault_rod_report_removed, fault_rod_report_unreadable.
TEST_F(ShapeReport, MalformedReportsEndTheRun) {
  const std::pair<const char*, std::string> cases[] = {
      {"", UNEXPECTED_END}, {"HD\n", UNEXPECTED_END}, {"HD\nCF\n", UNEXPECTED_END},
      {"HD\nCF\nXI \"1\" \"2\" \"3\"\nCF\n", UNEXPECTED_END}, {"HD\nCF\nBC\n\nCF\n", INTERNAL_ERROR}};
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    expect_fatal([&] { shaped(text, false); }, expected);
  }
}
