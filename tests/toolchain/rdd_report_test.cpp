#include <gtest/gtest.h>

#include "tool_failure.h"
#include "toolchain/rdd_text.h"

// How reports are read and refused as a whole: page_test.py.
TEST(RddReport, MalformedReportsNameTheirLine) {
  scratch_dir dir;
  auto failure = [](const std::string& records) {
    try {
      rdd_of(records);
    } catch (const tool_failure& f) {
      return std::string(f.what());
    }
    return std::string("read");
  };
  EXPECT_EQ(failure("XI \"1000\" \"soon\" \"4\" \n"), "t.rdd:2: record without its report and line numbers");
  EXPECT_EQ(failure("RE \"a\" \"1\" \"1\" \nDS \"d\" \"x\" \"1\" \"TI\" \"late\" \"1\" \"6\" \n"),
            "t.rdd:3: time field 5 is no number");
  EXPECT_EQ(failure("RE \"a\" \"0\" \"1\" \n"), "t.rdd:2: record without its report and line numbers");
  EXPECT_EQ(failure("re \"a\" \"1\" \"1\" \n"), "t.rdd:2: line without a record keyword");
  EXPECT_EQ(failure("\n"), "t.rdd:2: line without a record keyword");
  // The merger writes interleaving blocks as they come: a closing record
  // closes the nearest block of its kind.
  EXPECT_EQ(failure("DB \"s\" \"1\" \"1\" \nXI \"1\" \"1\" \"2\" \nBF \"s\" \"1\" \"3\" \n"), "read");
}
