#include <gtest/gtest.h>

#include "alignment.h"
#include "timeline.h"
#include "toolchain/rdd_text.h"

namespace {

const char ROD[] = "MIRVA ProbeSuite \"v2.6a\" \"plan\" \"ROD file\" \"date\"\n"
                   "SC \"s\" \"t\"\n"
                   "SY \"lab\" \"10\" \"0\" \"1\" \"1000\" \"s\"\n"
                   "IE \"0\" \"x\" \"v\" \"1\" \"5\"\n"
                   "XI \"3\" \"1\" \"40\"\n"
                   "RD \"m\" \"s\" \"0\" \"4\" \"4\" \"1\" \"48\"\n"
                   "EV \"e\" \"x\" \"1\" \"p\" \"6\" \"1\" \"50\"\n";

// Tester 2 merged in milliseconds and moved 500 ms later: its clock starts
// at 9.5 s instead of 10 s.
std::string merged(const std::string& body, const std::string& rod) {
  return "SY \"lab\" \"9\" \"500\" \"1000\" \"1\" \"ms\" \"2\" \"2\" \n"
         "IE \"0\" \"x\" \"v\" \"1\" \"5\" \"2\" \"3\" \n"
         "CF \"r.rod\" \"./\" \"" + dir_now() + "\" \"" + std::to_string(rod.size()) + "\" \"" +
         std::to_string(file_crc16(rod)) + "\" \"2\" \"0\" \n"
         "XI \"2900\" \"1\" \"4\" \"2\" \"4\" \n" + body + "YI \"1\" \"5\" \"2\" \"5\" \n";
}

clock_alignment tester_two(const std::string& body, const std::string& rod_on_disk = ROD) {
  write_file("r.rod", rod_on_disk);
  rdd_report rdd = rdd_of(merged(body, ROD));
  std::vector<tester> testers = testers_of(rdd, build_timeline(rdd).reports);
  return align_clocks(rdd, testers).at(1);
}

} // namespace

TEST(Alignment, ScaleAndShiftFromTheRecords) {
  scratch_dir dir;
  clock_alignment c = tester_two("RD \"m\" \"s\" \"0\" \"4000\" \"4500\" \"2\" \"5\" \n"
                                 "EV \"e\" \"x\" \"1\" \"p\" \"6500\" \"2\" \"6\" \n");
  ASSERT_TRUE(c.rod_available);
  EXPECT_EQ(c.read->tick_length, 1000);
  EXPECT_EQ(c.read->label, "s");
  EXPECT_EQ(c.merged->label, "ms");
  EXPECT_EQ(c.scale, 1000);
  EXPECT_EQ(c.shift, 500);
  EXPECT_EQ(c.agreeing, 2u); // the XI shared with tester 1 holds the earlier time of both
  EXPECT_EQ(c.disagreeing, 0u);
}

TEST(Alignment, RecordsThatDisagreeAreCounted) {
  scratch_dir dir;
  clock_alignment c = tester_two("RD \"m\" \"s\" \"0\" \"4000\" \"4500\" \"2\" \"5\" \n"
                                 "EV \"e\" \"x\" \"1\" \"p\" \"6600\" \"2\" \"6\" \n");
  EXPECT_EQ(c.shift, 500);
  EXPECT_EQ(std::make_pair(c.agreeing, c.disagreeing), std::make_pair(uint64_t{1}, uint64_t{1}));
}

TEST(Alignment, ShiftFromTheClocksWithoutRecordsToCompare) {
  scratch_dir dir;
  clock_alignment c = tester_two("");
  EXPECT_EQ(c.shift, 500);
  EXPECT_EQ(c.agreeing, 0u);
}

TEST(Alignment, ChangedReportIsNotRead) {
  scratch_dir dir;
  std::string changed = ROD;
  changed[changed.size() - 3] = '9'; // same size, other CRC
  clock_alignment c = tester_two("EV \"e\" \"x\" \"1\" \"p\" \"6500\" \"2\" \"6\" \n", changed);
  EXPECT_FALSE(c.rod_available);
  EXPECT_FALSE(c.scale);
  EXPECT_FALSE(c.shift);
  EXPECT_EQ(c.merged->name, "lab");
}
