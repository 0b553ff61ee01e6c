#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "pprint/pt_ecrit.h"
#include "report/objet.h"

static std::string written(objet* cell) {
  char* buffer = nullptr;
  size_t size = 0;
  objet* out = new_objet(OBJ_STREAM);
  out->stream = open_memstream(&buffer, &size);
  pt_ecrit(out, cell);
  fclose(out->stream);
  free_objet(out);
  std::string text(buffer, size);
  free(buffer);
  return text;
}

TEST(PtEcrit, AtomsAndEmptyItems) {
  objet* negative = make_long(-5);
  EXPECT_EQ(written(negative), "\"-5\" ");
  free_objet(negative);

  objet* lone = new_node();
  EXPECT_EQ(written(lone), "\n");
  free_objet(lone);

  objet* stream = new_objet(OBJ_STREAM);
  EXPECT_EQ(written(stream), "<flux> ");
  free_objet(stream);

  objet* gap = list3(make_string("XI"), nullptr, make_int(2));
  EXPECT_EQ(written(gap), "XI \"2\" \n");
  free_objet(gap);
}

TEST(PtEcrit, EveryChainEndsWithItsOwnNewline) {
  objet* block = list2(list2(make_string("DS"), make_string("\"n\"")), list1(make_string("FS")));
  EXPECT_EQ(written(block), "DS \"n\" \nFS \n\n");
  free_objet(block);
}
