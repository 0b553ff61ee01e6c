#include <gtest/gtest.h>

#include "merge/time_order.h"
#include "report/shapes.h"
#include "report/time_points.h"
#include "support/process_trap.h"
#include "support/report_text.h"

static tree_node* node_at(tree_node* chain, int position) {
  while (position-- > 0) chain = chain->next;
  return chain;
}

static int32_t tp_value(tree_node* node) { return node->item.rec()->at(1).number; }

TEST(TimePoints, TimePointsCarryTheLastTimeSeen) {
  tree_node* report = classified_records("XX \"a\"\nXI \"120\" \"1\" \"2\"\nXX \"b\"\nER \"c\"\n"
                                      "DS \"1\" \"2\" \"3\" \"4\" \"250\" \"6\" \"7\"\nPP \"1\"\n");
  insert_time_points(report);
  EXPECT_EQ(shape(report), "XX TP XI XX TP ER TP DS PP TP");
  EXPECT_EQ(report->next->item.rec()->kind(), static_cast<uint32_t>(KIND_TP));
  for (auto [position, time] : {std::pair{1, 0}, {4, 120}, {6, 120}, {9, 250}})
    EXPECT_EQ(tp_value(node_at(report, position)), time) << position;
  free_tree(report);
}

TEST(TimePoints, InsertionByTimeRefusesAnItemWithoutKey) {
  tree_node* records = classified_records("RE \"x\"\n");
  time_order order;
  expect_fatal([&] { order.insert(nullptr, {records}, 0); });
  free_tree(records);
}

TEST(TimePoints, ClosingRecordsShareTheFixedTimeAndBlocksTakeTheirFirstRecordKey) {
  tree_node* records = classified_records("RE \"x\"\nYI \"5\"\nDT \"77\"\n");
  EXPECT_TRUE(time_key_of(records->next->item)->fixed);
  EXPECT_EQ(order_key(records->next)->value, FIXED_TIME);
  EXPECT_FALSE(order_key(records->item));
  records->next = drop_first(records->next);
  EXPECT_EQ(order_key(records)->value, 77u);
  records->next = drop_first(records->next);
  EXPECT_FALSE(order_key(records)) << "a list of one record is no block";
  free_tree(records);
}
