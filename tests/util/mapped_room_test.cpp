#include "util/mapped_room.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using roomy = std::vector<uint64_t, mapped_room_allocator<uint64_t>>;

// Filled within its room, an array stays where it is; grown past it or shrunk
// below the mapped size, it moves between mapped and allocated blocks with
// its contents whole.
TEST(MappedRoom, ArraysKeepTheirPlaceAndContentsAcrossBlockKinds) {
  roomy values;
  values.reserve(MAPPED_ROOM_FROM / sizeof(uint64_t) * 2);
  const uint64_t* place = values.data();
  for (uint64_t i = 0; i < values.capacity(); ++i) values.push_back(i * 7);
  EXPECT_EQ(values.data(), place);
  values.push_back(1);
  values.resize(1000);
  values.shrink_to_fit();
  ASSERT_EQ(values.size(), 1000u);
  for (uint64_t i = 0; i < values.size(); ++i) ASSERT_EQ(values[i], i * 7);
  roomy small(10, 3);
  small.resize(MAPPED_ROOM_FROM);
  EXPECT_EQ(small[9], 3u);
  EXPECT_EQ(small.back(), 0u);
}
