#include <gtest/gtest.h>

#include "record_kinds.h"
#include "report/record_kinds.h"

// mpsrdd reads the RDD report with a vocabulary of its own: where each
// written kind keeps its time, and which records close the blocks it keeps.
// It must say what the merger's does.
TEST(RddVocabulary, AgreesWithTheMergers) {
  for (uint32_t kind = 0; kind < KEYWORD_COUNT; ++kind) {
    const kind_facts& facts = facts_of(kind);
    if (facts.written == writing::not_written) continue;
    SCOPED_TRACE(facts.keyword);
    EXPECT_EQ(time_field_of(facts.keyword), facts.fixed_time ? 0u : facts.time_field);
    if (opens_kept_block(facts.keyword)) {
      EXPECT_EQ(closing_keyword_of(facts.keyword), std::string_view(facts_of(facts.closed_by).keyword));
    }
  }
}
