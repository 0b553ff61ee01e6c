#include <gtest/gtest.h>

#include "report/shapes.h"
#include "support/process_trap.h"
#include "support/report_text.h"

TEST(Classify, KindFromFirstTwoCharactersButLookupNeedsExactKeyword) {
  tree_node* records = classified_records("XIX \"1\" \"2\" \"3\"\nFT \"1\" \"2\"\nID \"a\" \"b\" \"c\" \"4\" \"5\"\n");
  EXPECT_EQ(records->item.rec()->kind(), static_cast<uint32_t>(KIND_XI));
  EXPECT_EQ(records->next->item.rec()->kind(), static_cast<uint32_t>(KIND_FT));
  EXPECT_EQ(records->next->next->item.rec()->kind(), static_cast<uint32_t>(KIND_ID));
  EXPECT_EQ(find_record(records, KIND_XI), nullptr);
  EXPECT_EQ(find_record(records, KIND_FT), records->next->item.rec());
  free_tree(records);
}

TEST(Classify, KeywordsOutsideTheReadVocabularyAreInternalErrors) {
  for (const char* text : {"ZZ \"1\"\n", "FF\n", "FW \"1\"\n", "X \"1\"\n", "\n", "\"\"\n"}) {
    SCOPED_TRACE(text);
    expect_fatal([&] { classified_records(text, false); }, INTERNAL_ERROR);
  }
}

TEST(Classify, KeywordTestsNeverReadPastShortKeywords) {
  for (const char* keyword : {"", "C", "COX"})
    EXPECT_EQ(begins_with(keyword, KIND_CO), keyword[0] && keyword[1]) << keyword;
  record* head = make_record("RE ", nullptr, 0, KIND_RE);
  EXPECT_FALSE(is_exactly(*head, KIND_RE));
  free_record(head);
}

// Blocks and groups as the passes build them are checked by the regrouping
// and merge tests; these shapes never come out of nesting.
TEST(Classify, BlocksNeedARecordFirstAndTwoCarriedItems) {
  for (tree_node* list : {chain({make_record("DS", nullptr, 0)}), chain({make_record("DS", nullptr, 0), nullptr}),
                      chain({nullptr, make_record("DS", nullptr, 0)})}) {
    EXPECT_FALSE(is_block(list));
    free_tree(list);
  }
}

// The kind enum and the rows of the vocabulary are two lists that must stay
// in step: a kind's constant is the position of its keyword's row.
TEST(Classify, EveryKindConstantNamesItsRow) {
#define KIND(k) {KIND_##k, #k}
  const struct {
    uint32_t kind;
    const char* keyword;
  } kinds[] = {KIND(SY), KIND(RE), KIND(SC), KIND(IT), KIND(DE), KIND(PR), KIND(PE), KIND(RU), KIND(PO), KIND(XX),
               KIND(XI), KIND(DT), KIND(XE), KIND(YI), KIND(YT), KIND(FE), KIND(DP), KIND(FP), KIND(DS), KIND(DA),
               KIND(PA), KIND(DW), KIND(DX), KIND(EV), KIND(CH), KIND(FS), KIND(SN), KIND(UN), KIND(CO), KIND(ER),
               KIND(PT), KIND(RD), KIND(EX), KIND(PP), KIND(PQ), KIND(BF), KIND(BC), KIND(DB), KIND(IE), KIND(CF),
               KIND(TP), KIND(FW), KIND(FF), KIND(FQ), KIND(FV), KIND(FX), KIND(FO), KIND(FA), KIND(FN), KIND(FR),
               KIND(FT), KIND(TN), KIND(TF), KIND(FB), KIND(IC), KIND(ID)};
#undef KIND
  ASSERT_EQ(std::size(kinds), size_t{KEYWORD_COUNT});
  for (size_t row = 0; row < std::size(kinds); ++row) {
    EXPECT_EQ(kinds[row].kind, row) << kinds[row].keyword;
    EXPECT_STREQ(keyword_table[kinds[row].kind].keyword, kinds[row].keyword);
  }
  EXPECT_EQ(kind_bit(NO_KIND), key_set{0});
}
