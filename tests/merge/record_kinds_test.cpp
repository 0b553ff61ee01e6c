#include <gtest/gtest.h>

#include "merge/shapes.h"
#include "support/process_trap.h"
#include "support/report_text.h"

TEST(Classify, KindFromFirstTwoCharactersButLookupNeedsExactKeyword) {
  objet* records = classified_records("XIX \"1\" \"2\" \"3\"\nFT \"1\" \"2\"\nID \"a\" \"b\" \"c\" \"4\" \"5\"\n");
  EXPECT_EQ(kind_of(records->item), static_cast<uint32_t>(KIND_XI));
  EXPECT_EQ(kind_of(records->next->item), static_cast<uint32_t>(KIND_FT));
  EXPECT_EQ(kind_of(records->next->next->item), static_cast<uint32_t>(KIND_ID));
  EXPECT_EQ(find_record(records, KIND_XI), nullptr);
  EXPECT_EQ(find_record(records, KIND_FT), records->next->item);
  free_objet(records);
}

TEST(Classify, KeywordsOutsideTheReadVocabularyAreInternalErrors) {
  for (const char* text : {"ZZ \"1\"\n", "FF\n", "FW \"1\"\n", "X \"1\"\n", "\n", "\"\"\n"}) {
    std::string error;
    EXPECT_EQ(run_to_end([&] { classified_records(text, false); }, &error), 7) << text;
    EXPECT_EQ(error, "Varnet-F-ERRINTERN,  \n") << text;
  }
}

TEST(Classify, KeywordTestsNeverReadPastShortKeywords) {
  for (const char* keyword : {"", "C", "COX"}) {
    objet* cell = make_string(keyword);
    EXPECT_EQ(begins_with(cell, KIND_CO), keyword[0] && keyword[1]) << keyword;
    free_objet(cell);
  }
  // The head of the tree passes has the kind of RE records but is none.
  objet* head = list1(make_string("  "));
  head->item->kind = KIND_RE;
  EXPECT_FALSE(is_exactly(head, KIND_RE));
  free_objet(head);
}

static objet* record_of(const char* keyword) { return list1(make_string(keyword)); }

// Blocks and groups as the passes build them are checked by the regrouping
// and merge tests; these shapes never come out of nesting.
TEST(Classify, BlocksNeedARecordFirstAndTwoCarriedItems) {
  init_keyword_cells();
  for (objet* chain : {list1(record_of("DS")), list2(record_of("DS"), nullptr)}) {
    EXPECT_FALSE(is_block(chain));
    free_objet(chain);
  }
}
