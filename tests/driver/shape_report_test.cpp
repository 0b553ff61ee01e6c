#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdio>
#include <string>

#include "driver/run_state.h"
#include "driver/shape_report.h"
#include "merge/shapes.h"
#include "merge/fields.h"
#include "merge/time_points.h"
#include "support/process_trap.h"
#include "support/report_text.h"

class ShapeReport : public testing::Test {
 protected:
  void SetUp() override {
    init_keyword_cells();
    init_fixed_time_cell();
    mode = make_string("r");
  }
  void TearDown() override {
    free_objet(mode);
    if (report_header_list) free_objet(report_header_list);
    report_header_list = nullptr;
  }
  std::string write(const std::string& text) {
    std::string path = (directory.path() + "/report.rod").toStdString();
    FILE* file = fopen(path.c_str(), "w");
    fwrite(text.data(), 1, text.size(), file);
    fclose(file);
    return path;
  }
  objet* shaped(const std::string& text, bool time_variant) {
    return shape_report(write(text).c_str(), 3, mode, time_variant);
  }
  std::string fatal_road(const std::string& path) {
    std::string error;
    EXPECT_EQ(run_to_end([&] { shape_report(path.c_str(), 1, mode, false); }, &error), 7);
    return error;
  }

  QTemporaryDir directory;
  objet* mode = nullptr;
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

TEST_F(ShapeReport, VariantAKeepsTheGroupConstructs) {
  objet* report = shaped(report_text, false);
  EXPECT_EQ(shape(report), "(CF) ((((XI YI) (DS FS) (DT YT))) SY (XX TP)) (CF)");
  objet* middle = report->next->item;
  objet* sy = node_at(middle, 1)->item;
  EXPECT_EQ(field_at(sy, 2)->value, 1);
  EXPECT_EQ(field_at(sy, 6)->value, 3);  // report number
  EXPECT_EQ(field_at(sy, 7)->value, 8);  // line number after the header
  // The XX time point took the time of the DA record pruned since.
  objet* tp = node_at(middle, 2)->item->next->item;
  EXPECT_EQ(field_at(tp, 1)->value, 170);
  EXPECT_EQ(shape(report_header_list), "HD");
  free_objet(report);
}

TEST_F(ShapeReport, VariantBDropsTheGroupConstructs) {
  objet* report = shaped(report_text, true);
  EXPECT_EQ(shape(report), "(CF) (SY (XX TP)) (CF)");
  free_objet(report);
  report = shaped("H2\nSY \"s\" \"1\" \"2\" \"3\" \"4\"\nCF\n", true);
  EXPECT_EQ(shape(report), "(SY) - (CF)");
  EXPECT_EQ(shape(report_header_list), "HD H2");
  free_objet(report);
}

// A missing or unreadable report: fault_rod_report_removed, fault_rod_report_unreadable.
TEST_F(ShapeReport, MalformedReportsEndTheRun) {
  const std::string eof = "Varnet-F-UNEXPTEOF,  Unexpected end of file\n";
  const std::pair<const char*, std::string> cases[] = {
      {"", eof}, {"HD\n", eof}, {"HD\nCF\n", eof}, {"HD\nCF\nXI \"1\" \"2\" \"3\"\nCF\n", eof},
      {"HD\nCF\nBC\n\nCF\n", "Varnet-F-ERRINTERN,  \n"}};
  for (const auto& [text, expected] : cases) EXPECT_EQ(fatal_road(write(text)), expected) << text;
}

// A report whose body is one block nested 100 000 deep.
static const int NESTING_DEPTH = 100000;
static std::string nested_report(const std::string& opener, const std::string& closer) {
  std::string text = "HD\nCF\n";
  for (int i = 0; i < NESTING_DEPTH; ++i) text += opener;
  for (int i = 0; i < NESTING_DEPTH; ++i) text += closer;
  return text + "CF\n";
}

TEST_F(ShapeReport, DeeplyNestedReportsAreShaped) {
  objet* report = shaped(nested_report("XI \"1\" \"2\" \"3\"\n", "YI \"0\"\n"), false);
  EXPECT_EQ(shape(report->next->next), "(CF)");
  free_objet(report);
}

TEST_F(ShapeReport, DeeplyNestedDsBlocksAreRegrouped) {
  objet* report = shaped(nested_report("DS \"a\" \"b\" \"c\" \"d\" \"5\" \"6\" \"7\"\n", "FS \"x\" \"2\"\n"), false);
  // Every DS block but the innermost holds the group of the DS block inside it.
  objet* group_holder = report->next->item;
  objet* ds = group_holder->item->item->item;
  int levels = 1;
  while (is_list(ds->next->item) && !is_record(ds->next->item)) {
    ds = ds->next->item->item->item;
    ++levels;
  }
  EXPECT_EQ(levels, NESTING_DEPTH);
  free_objet(report);
}
