#include <gtest/gtest.h>

#include "junit.h"
#include "tool_failure.h"
#include "toolchain/rdd_text.h"

namespace {

size_t count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

} // namespace

// How consumers read the file: mpsrdd_test.py.
TEST(Junit, PassedStepsGiveWayToTheBudget) {
  scratch_dir dir;
  std::string records = "SC \"a\" \"x\" \"1\" \"2\" \n";
  for (int i = 0; i < 200; ++i) {
    std::string n = std::to_string(i), line = std::to_string(10 + 2 * i);
    records += "DS \"step " + n + "\" \"x\" \"1\" \"TI-" + n + "\" \"" + n + "\" \"1\" \"" + line + "\" \n";
    records += "FS \"step " + n + "\" \"5\" \"" + (i == 150 ? "1" : "0") + "\" \"1\" \"" + line + "1\" \n";
  }
  write_file("t.rdd", RDD_HEADER + records);
  run_view run = read_run("t.rdd");
  std::string all = render_junit(run, 1 << 20);
  EXPECT_EQ(count(all, "<testcase "), 200u);
  std::string failing = render_junit(run, all.size() / 2);
  EXPECT_EQ(count(failing, "<testcase "), 1u);
  EXPECT_NE(failing.find("name=\"step 150\""), std::string::npos);
  EXPECT_NE(failing.find("199 passed test steps are not listed"), std::string::npos);
  EXPECT_NE(failing.find("tests=\"1\" failures=\"1\""), std::string::npos);
  EXPECT_THROW(render_junit(run, 200), tool_failure);
}

// A step met again in the same test item by the same tester is counted in
// its name, so that a CI server that keys on both keeps every one.
TEST(Junit, NoTwoTestcasesShareClassnameAndName) {
  scratch_dir dir;
  std::string records = "SC \"a\" \"x\" \"1\" \"2\" \n";
  for (int i = 0; i < 3; ++i) {
    std::string line = std::to_string(10 + 2 * i);
    records += "DS \"again\" \"x\" \"1\" \"TI-1\" \"" + std::to_string(i) + "\" \"1\" \"" + line + "\" \n";
    records += "FS \"again\" \"5\" \"0\" \"1\" \"" + line + "1\" \n";
  }
  write_file("t.rdd", RDD_HEADER + records);
  std::string xml = render_junit(read_run("t.rdd"), 1 << 20);
  for (const char* name : {"name=\"again\"", "name=\"again (2)\"", "name=\"again (3)\""}) EXPECT_EQ(count(xml, name), 1u) << name;
  EXPECT_EQ(count(xml, "classname=\"merged.TI-1\""), 3u);
}
