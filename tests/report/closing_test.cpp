#include <gtest/gtest.h>

#include <cstring>

#include "merge/classify.h"
#include "merge/fields.h"
#include "merge/time_points.h"
#include "report/closing.h"
#include "support/process_trap.h"
#include "support/report_text.h"

static objet* closed(const std::string& text) {
  return add_closing_records(insert_time_points(classified_records(text)));
}

static std::string closed_shape(const std::string& text) {
  objet* report = closed(text);
  std::string result = shape(report);
  free_objet(report);
  return result;
}

static const char* const ev = "EV \"a\" \"b\" \"1\" \"c\" \"2\"\n";

TEST(Closing, RunsGetTheirClosingRecords) {
  EXPECT_EQ(closed_shape(std::string(ev) + "CH\nCH\nRE\nSC\nXX\n"), "EV CH CH FV RE SC FR XX TP");
  EXPECT_EQ(closed_shape(std::string(ev) + "RE\nBC\nBC\n"), "EV FV RE FR BC BC");
  EXPECT_EQ(closed_shape("PP\nPQ\nDA \"1\" \"2\" \"3\" \"4\" \"5\"\nPA\nBC\nBC\n"), "PP TP PQ FQ DA PA FA BC BC");
  // An opener that is the last record is closed right after it; a single record never is.
  EXPECT_EQ(closed_shape(std::string("BC\n") + ev), "BC EV FV");
  EXPECT_EQ(closed_shape(ev), "EV");
}

TEST(Closing, RunsReachingTheLastRecordEndTheRun) {
  for (std::string text : {std::string("BC\nRE\nSC\n"), std::string(ev) + "CH\n",
                           std::string("BC\n") + ev + "CH\nCH\n"}) {
    std::string error;
    EXPECT_EQ(run_to_end([&] { closed(text); }, &error), 7) << text;
    EXPECT_EQ(error, "Varnet-F-UNEXPTEOF,  Unexpected end of file\n");
  }
}

// A record's kind picks its key, but the text must still give strncmp's
// answer over the keyword's own length, NULs included.
TEST(Closing, KeywordTestsAgreeWithStrncmp) {
  const key_set keys = key_set_of({KIND_DW});
  objet* key = make_string("DW");
  const char alphabet[] = {'D', 'W', '\0', 'X'};
  for (int length = 2; length <= 3; ++length) {
    int combinations = 1 << (2 * length);
    for (int code = 0; code < combinations; ++code) {
      char text[4] = {};
      for (int i = 0; i < length; ++i) text[i] = alphabet[(code >> (2 * i)) & 3];
      objet* keyword = make_string(text, static_cast<uint32_t>(length));
      for (uint32_t kind = 0; kind < KEYWORD_COUNT; ++kind) {
        if (keyword_is(keyword, keyword_table[kind])) keyword->kind = kind;
      }
      bool expected = strncmp("DW", text, static_cast<size_t>(length)) == 0;
      EXPECT_EQ(keyword_in(keys, keyword), expected) << length << " " << code;
      EXPECT_EQ(equal_string(keyword, key), length == 2 && strncmp("DW", text, 2) == 0)
          << length << " " << code;
      free_objet(keyword);
    }
  }
  free_objet(key);
  // The head of the tree passes has kind 1 but is no RE record.
  objet* head = keyword_only_node("  ", 1);
  EXPECT_FALSE(keyword_in(key_set_of({KIND_RE}), head->item->item));
  free_objet(head);
}

// The rules run over an array of the top level; the same rules run one by
// one over the chain must give the same records in the same places.
static uint32_t reference_kind;
static void reference_closing(objet* argument) {
  objet* closing = keyword_only_node(keyword_table[reference_kind], reference_kind);
  insert_after(argument->next->item, closing);
}

static void reference_rule(objet* head, key_set opening, key_set members, objet_function action,
                           uint32_t kind) {
  reference_kind = kind;
  objet* callback = make_function(action);
  close_blocks(head, opening, members, callback);
  free_objet(callback);
}

static std::string reference_shape(const std::string& text) {
  objet* head = keyword_only_node("  ", 1);
  head->next = insert_time_points(classified_records(text));
  reference_rule(head, key_set_of({KIND_PP}), key_set_of({KIND_PQ, KIND_TP}), reference_closing,
                 KIND_FQ);
  reference_rule(head, key_set_of({KIND_DA}), key_set_of({KIND_PA}), reference_closing, KIND_FA);
  reference_rule(head, key_set_of({KIND_EV}), key_set_of({KIND_CH}), reference_closing, KIND_FV);
  reference_rule(head, key_set_of({KIND_DX}), key_set_of({KIND_CH}), reference_closing, KIND_FX);
  reference_rule(head, key_set_of({KIND_SN}), key_set_of({KIND_CH}), reference_closing, KIND_FN);
  reference_rule(head, key_set_of({KIND_DW}), key_set_of({KIND_DX, KIND_FX, KIND_CH}),
                 reference_closing, KIND_FF);
  reference_rule(head, key_set_of({KIND_DW}),
                 key_set_of({KIND_DX, KIND_FX, KIND_FF, KIND_EV, KIND_FV, KIND_CH}), add_fw_record,
                 0);
  reference_rule(head, key_set_of({KIND_CO}), key_set_of({KIND_CO}), co_rule, 0);
  reference_rule(head, key_set_of({KIND_RE}),
                 key_set_of({KIND_SC, KIND_IT, KIND_DE, KIND_PR, KIND_PE, KIND_RU, KIND_SY,
                             KIND_PO, KIND_IE, KIND_CF}),
                 reference_closing, KIND_FR);
  std::string result = record_lines(head->next);
  free_objet(head);
  return result;
}

TEST(Closing, ArrayScanGivesWhatChainScanGives) {
  const char* const keywords[] = {"PP", "PQ", "DA", "PA", "EV", "CH", "DX", "SN", "DW",
                                  "CO", "RE", "SC", "CF", "XX", "BC", "ER"};
  srand(7);
  for (int round = 0; round < 300; ++round) {
    std::string text;
    int length = 1 + rand() % 30;
    for (int i = 0; i < length; ++i) {
      text += keywords[rand() % 16];
      text += " \"1\" \"2\" \"3\" \"4\" \"5\" \"6\" \"7\"\n";
    }
    text += "BC\nBC\n";
    objet* report = closed(text);
    EXPECT_EQ(record_lines(report), reference_shape(text)) << text;
    free_objet(report);
  }
}
