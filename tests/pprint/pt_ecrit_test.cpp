#include <gtest/gtest.h>

#include "support/report_text.h"

static std::string written(objet* cell) {
  return stream_text([cell](objet* out) { pt_ecrit(out, cell); });
}

TEST(PtEcrit, AtomsAndEmptyItems) {
  objet* negative = make_long(-5);
  EXPECT_EQ(written(negative), "\"-5\" ");
  free_objet(negative);

  objet* lone = new_node();
  EXPECT_EQ(written(lone), "\n");
  free_objet(lone);

  objet* gap = chain({make_string("XI"), nullptr, make_int(2)});
  EXPECT_EQ(written(gap), "XI \"2\" \n");
  free_objet(gap);
}

TEST(PtEcrit, EveryChainEndsWithItsOwnNewline) {
  objet* block = list2(list2(make_string("DS"), make_string("\"n\"")), list1(make_string("FS")));
  EXPECT_EQ(written(block), "DS \"n\" \nFS \n\n");
  free_objet(block);
}
