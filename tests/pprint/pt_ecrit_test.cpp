#include <gtest/gtest.h>

#include "support/report_text.h"

static std::string written(const record& r) {
  return stream_text([&r](FILE* out) { pt_ecrit(out, r); });
}

TEST(PtEcrit, KeywordFieldsAndNumbersEachFollowedByABlank) {
  record* r = rec("SY \"a\" \"-5\" \"3\" \"4\" \"5\" \"b\"\"c\"", 7, 9);
  EXPECT_EQ(written(*r), "SY \"a\" \"-5\" \"3\" \"4\" \"5\" \"b\"\"c\" \"7\" \"9\" \n");
  r->set_at(2, field{});
  EXPECT_EQ(written(*r), "SY \"a\" \"3\" \"4\" \"5\" \"b\"\"c\" \"7\" \"9\" \n");
  free_record(r);
  record* bare = make_record("", nullptr, 0);
  EXPECT_EQ(written(*bare), " \n");
  free_record(bare);
}
