#include <gtest/gtest.h>

#include <QSet>

#include "messages/catalogue_entries.h"

// Codes are looked up by name: a code twice would hide its second text.
TEST(CatalogueEntries, EveryCodeOnce) {
  QSet<QString> codes;
  for (int i = 0; i < catalogue_entry_count; ++i) codes.insert(catalogue_entries[i].code);
  EXPECT_EQ(codes.size(), catalogue_entry_count);
}
