#include <gtest/gtest.h>

#include "step_results.h"

// The merge's own rule, which tells an edited RDD report from the testers'
// statuses: "1" once met stays, "2" is taken over anything else, and
// otherwise the first report's status stands.
TEST(StepResults, StatusesMergeAsTheMergerMergesThem) {
  const struct {
    std::vector<std::string> statuses;
    std::string merged;
  } cases[] = {
      {{"0"}, "0"},           {{"0", "2"}, "2"},      {{"2", "0"}, "2"},      {{"1", "2"}, "1"},
      {{"2", "1"}, "1"},      {{"0", "1", "2"}, "1"}, {{"7", "0"}, "7"},      {{"0", "7"}, "0"},
      {{"7", "2"}, "2"},      {{}, ""},
  };
  for (const auto& c : cases) {
    std::string shown;
    for (const std::string& s : c.statuses) shown += s + " ";
    EXPECT_EQ(merge_of_statuses(c.statuses), c.merged) << shown;
  }
}
