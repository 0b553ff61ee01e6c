#include <gtest/gtest.h>

#include "merge/fields.h"
#include "merge/shapes.h"
#include "merge/time_order.h"
#include "merge/time_points.h"
#include "support/process_trap.h"
#include "support/report_text.h"

static int32_t tp_value(objet* node) { return field_at(node->item, 1)->value; }

TEST(TimePoints, TimePointsCarryTheLastTimeSeen) {
  objet* report = classified_records("XX \"a\"\nXI \"120\" \"1\" \"2\"\nXX \"b\"\nER \"c\"\n"
                                      "DS \"1\" \"2\" \"3\" \"4\" \"250\" \"6\" \"7\"\nPP \"1\"\n");
  insert_time_points(report);
  EXPECT_EQ(shape(report), "XX TP XI XX TP ER TP DS PP TP");
  EXPECT_EQ(kind_of(report->next->item), static_cast<uint32_t>(KIND_TP));
  for (auto [position, time] : {std::pair{1, 0}, {4, 120}, {6, 120}, {9, 250}})
    EXPECT_EQ(tp_value(node_at(report, position)), time) << position;
  free_objet(report);
}

TEST(TimePoints, InsertionByTimeRefusesAnItemWithoutKey) {
  objet* records = classified_records("RE \"x\"\n");
  std::string error;
  time_order order;
  EXPECT_EQ(run_to_end([&] { insert_all_by_time(nullptr, {records->item}, &order, 0); }, &error), 7);
  EXPECT_EQ(error, "Varnet-F-UNEXPTEOF,  Unexpected end of file\n");
  free_objet(records);
}

TEST(TimePoints, ClosingRecordsShareTheFixedTimeAndBlocksTakeTheirFirstRecordKey) {
  init_fixed_time_cell();
  objet* records = classified_records("RE \"x\"\nYI \"5\"\nDT \"77\"\n");
  EXPECT_EQ(time_key(records->next->item), fixed_time_cell);
  objet* block = list2(records->item, records->next->item);
  EXPECT_EQ(order_key(block), fixed_time_cell);
  EXPECT_EQ(order_key(records->item), nullptr);
  block->item = nullptr;
  block->next->item = nullptr;
  free_objet(block);
  free_objet(records);
}
