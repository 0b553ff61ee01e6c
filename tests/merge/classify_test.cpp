#include <gtest/gtest.h>

#include "merge/classify.h"
#include "support/process_trap.h"
#include "support/report_text.h"

TEST(Classify, KindFromFirstTwoCharactersButLookupNeedsExactKeyword) {
  objet* records = classified_records("XIX \"1\" \"2\" \"3\"\nFT \"1\" \"2\"\nID \"a\" \"b\" \"c\" \"4\" \"5\"\n");
  EXPECT_EQ(kind_of(records->item), static_cast<uint32_t>(KIND_XI));
  EXPECT_EQ(kind_of(records->next->item), static_cast<uint32_t>(KIND_FT));
  EXPECT_EQ(kind_of(records->next->next->item), static_cast<uint32_t>(KIND_ID));
  EXPECT_EQ(find_record(records, keyword_cells[KIND_XI]), nullptr);
  EXPECT_EQ(find_record(records, keyword_cells[KIND_FT]), records->next->item);
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
    EXPECT_EQ(is_co(cell), keyword[0] && keyword[1]) << keyword;
    free_objet(cell);
  }
}

static objet* record_of(const char* keyword) { return list1(make_string(keyword)); }

TEST(Classify, BlocksNeedARecordFirstAndTwoCarriedItems) {
  init_keyword_cells();
  objet* single = list1(record_of("DS"));
  objet* with_gap = list3(record_of("DS"), nullptr, nullptr);
  objet* inner = list2(record_of("XI"), record_of("YI"));
  objet* outer = list2(record_of("DS"), inner);
  EXPECT_FALSE(is_block(single));
  EXPECT_FALSE(is_block(with_gap));
  EXPECT_TRUE(is_block(outer));
  EXPECT_TRUE(is_ds_block(outer));
  EXPECT_TRUE(is_xi_block(inner));
  EXPECT_FALSE(is_da_block(outer));
  objet* holder = list2(outer, record_of("RE"));
  EXPECT_TRUE(starts_with_block(holder));
  EXPECT_TRUE(opens_group(holder));
  EXPECT_EQ(first_ds_block(holder), holder);
  EXPECT_EQ(first_xi_block(holder), nullptr);
  objet* groups = list2(holder, record_of("RE"));
  EXPECT_FALSE(all_open_groups(groups));
  free_objet(groups->next);
  groups->next = nullptr;
  EXPECT_TRUE(all_open_groups(groups));
  free_objet(groups);
  free_objet(single);
  free_objet(with_gap);
}
