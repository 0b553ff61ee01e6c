#include <gtest/gtest.h>

#include "bridge_failure.h"
#include "toolchain/rdd_text.h"

TEST(RddReport, TailsOfMergedAndPlainRecords) {
  scratch_dir dir;
  rdd_report rdd = rdd_of("XI \"1000\" \"1\" \"4\" \"2\" \"4\" \"3\" \"4\" \n"
                          "YI \"1\" \"5\" \"2\" \"5\" \n"
                          "DS \"d\" \"x\" \"1\" \"TI\" \"2000\" \"1\" \"6\" \"2\" \"6\" \n"
                          "PA \"open\" \"1150\" \"2\" \"20\" \n"
                          "EV \"e\" \"s\" \"2000\" \"1\" \"23\" \n"
                          "FS \"d\" \"3000\" \"2\" \"1\" \"7\" \"2\" \"7\" \n");
  EXPECT_EQ(rdd.plan, "plan");
  ASSERT_EQ(rdd.records.size(), 6u);
  const rdd_record& xi = rdd.records[0];
  EXPECT_EQ(xi.origins_count, 3u);
  EXPECT_EQ(rdd.origins_of(xi)[2].report, 3u);
  EXPECT_TRUE(xi.timed);
  EXPECT_EQ(xi.time, 1000u);
  EXPECT_EQ(rdd.records[1].origins_count, 2u);
  EXPECT_EQ(rdd.records[2].time, 2000u);
  EXPECT_EQ(rdd.records[2].origins_count, 2u);
  EXPECT_EQ(rdd.report_of(rdd.records[3]), 2u);
  EXPECT_EQ(rdd.origins_of(rdd.records[3])[0].line, 20u);
  EXPECT_FALSE(rdd.records[4].timed); // its time field was trimmed away
  EXPECT_EQ(rdd.records[5].origins_count, 2u);
  EXPECT_EQ(rdd.records[5].line, 7u);
}

TEST(RddReport, SourceRecordsAndCfRecordsOfReports) {
  scratch_dir dir;
  rdd_report rdd = rdd_of("IE \"0\" \"x\" \"v\" \"1\" \"5\" \"1\" \"5\" \n"
                          "CF \"ca\"\"b.rod\" \"./\" \"/w/.\" \"1552\" \"42669\" \"1\" \"0\" \n"
                          "CF \"p.tdc\" \"plans\" \"/h\" \"2318\" \"47211\" \"1\" \"60\" \n");
  ASSERT_EQ(rdd.sources.size(), 1u);
  const source_record& s = rdd.sources[0];
  EXPECT_EQ(s.name, "ca\"b.rod");
  EXPECT_EQ(s.relative_dir, "./");
  EXPECT_EQ(s.absolute_dir, "/w/.");
  EXPECT_EQ(s.size, 1552);
  EXPECT_EQ(s.crc, 42669);
  EXPECT_EQ(s.report, 1u);
  EXPECT_EQ(rdd.origins_of(rdd.records[2])[0].line, 60u);
}

TEST(RddReport, MalformedReportsNameTheirLine) {
  scratch_dir dir;
  auto failure = [](const std::string& records) {
    try {
      rdd_of(records);
    } catch (const bridge_failure& f) {
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
