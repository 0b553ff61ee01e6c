#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "report/shapes.h"
#include "report/time_points.h"
#include "report/closing.h"
#include "support/process_trap.h"
#include "support/report_text.h"

// The top level the pass hands on to nesting must be the chain's own.
static tree_node* closed(const std::string& text) {
  report_top top(insert_time_points(classified_records(text)), "");
  add_closing_records(&top);
  top_level read_again;
  read_top_level(top.head(), &read_again);
  EXPECT_EQ(top.entries().size(), read_again.size()) << text;
  for (size_t i = 0; i < std::min(top.entries().size(), read_again.size()); ++i) {
    EXPECT_EQ(top.entries().node(i), read_again.node(i)) << text << " at " << i;
    EXPECT_EQ(top.entries().kind_bits()[i], read_again.kind_bits()[i]) << text << " at " << i;
  }
  return top.take_chain();
}

static std::string closed_shape(const std::string& text) {
  tree_node* report = closed(text);
  std::string result = shape(report);
  free_tree(report);
  return result;
}

static const char* const ev = "EV \"a\" \"b\" \"1\" \"c\" \"2\"\n";

TEST(Closing, RunsGetTheirClosingRecords) {
  EXPECT_EQ(closed_shape(std::string(ev) + "CH\nCH\nRE\nSC\nXX\n"), "EV CH CH FV RE SC FR XX TP");
  EXPECT_EQ(closed_shape(std::string(ev) + "RE\nBC\nBC\n"), "EV FV RE FR BC BC");
  EXPECT_EQ(closed_shape("PP\nPQ\nDA \"1\" \"2\" \"3\" \"4\" \"5\"\nPA\nBC\nBC\n"), "PP TP PQ FQ DA PA FA BC BC");
  // A wait closes its DX runs first, then itself, then gets its FW copy; a
  // comment joins the wait or signal that follows it, else it was filtered.
  const std::string wait = "DW \"w\" \"c\" \"10\" \"5\" \"20\"\n";
  EXPECT_EQ(closed_shape(wait + "DX\nCH\nCH\nBC\nBC\n"), "DW DX CH CH FX FF FW BC BC");
  EXPECT_EQ(closed_shape("CO\nCO\n" + wait + "CH\nBC\nBC\n"), "CO CO DW CH FF FO FW BC BC");
  EXPECT_EQ(closed_shape("CO\nSN \"s\" \"x\" \"b\" \"1\" \"0\" \"6\"\nCH\nBC\nBC\n"), "CO SN CH FN FO BC BC");
  // An opener that is the last record is closed right after it; a single record never is.
  EXPECT_EQ(closed_shape(std::string("BC\n") + ev), "BC EV FV");
  EXPECT_EQ(closed_shape(ev), "EV");
}

TEST(Closing, RunsReachingTheLastRecordEndTheRun) {
  for (std::string text : {std::string("BC\nRE\nSC\n"), std::string(ev) + "CH\n",
                           std::string("BC\n") + ev + "CH\nCH\n"}) {
    SCOPED_TRACE(text);
    expect_fatal([&] { closed(text); });
  }
}
