#include <gtest/gtest.h>

#include <QSet>
#include <map>
#include <string>

#include "messages/catalogue_entries.h"

// The shared catalogue: 246 translated codes in eleven categories, and three
// untranslated ones; codes of this program's own guards come after them.
TEST(CatalogueEntries, SharedCodesByCategory) {
  std::map<std::string, int> per_category;
  QSet<QString> codes;
  const int shared = 246;
  for (int i = 0; i < shared; ++i) {
    per_category[catalogue_entries[i].category]++;
    codes.insert(catalogue_entries[i].code);
  }
  EXPECT_EQ(codes.size(), shared);
  EXPECT_EQ(untranslated_entry_count, 3);
  const std::map<std::string, int> expected = {
      {"Generic", 1},         {"Syntax analysis", 91}, {"Semantic analysis", 91}, {"RIO/TDC analysis", 19},
      {"Fatal error", 4},     {"File error", 4},       {"Report error", 10},      {"Information", 10},
      {"TDC edition", 1},     {"Command line error", 3}, {"Postpro error", 12}};
  EXPECT_EQ(per_category, expected);
  for (int i = shared; i < catalogue_entry_count; ++i)
    EXPECT_FALSE(codes.contains(catalogue_entries[i].code)) << catalogue_entries[i].code;
}
