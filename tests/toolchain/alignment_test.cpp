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
  return "SC \"a\" \"x\" \"1\" \"2\" \n"
         "SY \"lab\" \"9\" \"500\" \"1000\" \"1\" \"ms\" \"2\" \"2\" \n"
         "IE \"0\" \"x\" \"v\" \"1\" \"5\" \"2\" \"3\" \n"
         "CF \"r.rod\" \"./\" \"" + dir_now() + "\" \"" + std::to_string(rod.size()) + "\" \"" +
         std::to_string(file_crc16(rod)) + "\" \"2\" \"0\" \n"
         "XI \"2900\" \"1\" \"4\" \"2\" \"4\" \n" + body + "YI \"1\" \"5\" \"2\" \"5\" \n";
}

clock_alignment tester_two(const std::string& body, const std::string& rod_on_disk = ROD) {
  write_file("r.rod", rod_on_disk);
  rdd_report rdd = rdd_of(merged(body, ROD));
  std::vector<tester> testers = testers_of(rdd);
  return align_clocks(rdd, testers).at(1);
}

} // namespace

// The XI shared with tester 1 holds the earlier time of both: it agrees too.
TEST(Alignment, ScaleShiftAndEvidence) {
  scratch_dir dir;
  const std::string rd = "RD \"m\" \"s\" \"0\" \"4000\" \"4500\" \"2\" \"5\" \n";
  std::string changed = ROD;
  changed[changed.size() - 3] = '9';  // same size, other CRC
  const struct {
    std::string body, rod_on_disk;
    bool available;
    std::optional<int64_t> scale, shift;
    uint64_t agreeing, disagreeing;
  } cases[] = {
      {rd + "EV \"e\" \"x\" \"1\" \"p\" \"6500\" \"2\" \"6\" \n", ROD, true, 1000, 500, 2, 0},
      {rd + "EV \"e\" \"x\" \"1\" \"p\" \"6600\" \"2\" \"6\" \n", ROD, true, 1000, 500, 1, 1},
      {"", ROD, true, 1000, 500, 0, 0},  // from the clocks alone
      {"EV \"e\" \"x\" \"1\" \"p\" \"6500\" \"2\" \"6\" \n", changed, false, std::nullopt, std::nullopt, 0, 0},
  };
  for (const auto& c : cases) {
    clock_alignment a = tester_two(c.body, c.rod_on_disk);
    EXPECT_EQ(a.rod_available, c.available) << c.body;
    EXPECT_EQ(a.scale, c.scale);
    EXPECT_EQ(a.shift, c.shift);
    EXPECT_EQ(a.read ? a.read->label + std::to_string(a.read->tick_length) : "", c.available ? "s1000" : "");
    EXPECT_EQ(std::make_pair(a.agreeing, a.disagreeing), std::make_pair(c.agreeing, c.disagreeing));
    EXPECT_EQ(a.merged->name + a.merged->label, "labms");
  }
}

// Each tester's largest distance to the same rendezvous (name and
// occurrence) of the others: 1 and 2 bound the first "a", 3 lies inside
// it; the second "a" of 1 and 2 agree; the third of 1 and "b" of 3 have no
// partner; 4 meets nobody.
TEST(Alignment, RendezvousGapsPerTester) {
  scratch_dir dir;
  std::string records;
  for (int t = 1; t <= 4; ++t) records += "SC \"t\" \"x\" \"" + std::to_string(t) + "\" \"2\" \n";
  const struct {
    const char* name;
    int time, report;
  } points[] = {{"a", 0, 1}, {"a", 10, 2}, {"a", 4, 3}, {"a", 100, 1}, {"a", 100, 2}, {"b", 50, 3}, {"a", 500, 1}, {"c", 5, 4}};
  int line = 10;
  for (const auto& p : points)
    records += std::string("RD \"") + p.name + "\" \"x\" \"0\" \"1\" \"" + std::to_string(p.time) + "\" \"" +
               std::to_string(p.report) + "\" \"" + std::to_string(++line) + "\" \n";
  rdd_report rdd = rdd_of(records);
  std::vector<std::optional<uint64_t>> gaps = rendezvous_gaps(rdd, testers_of(rdd));
  std::vector<std::optional<uint64_t>> expected = {10u, 10u, 6u, std::nullopt};
  EXPECT_EQ(gaps, expected);
}
