#include <gtest/gtest.h>
#include <pthread.h>

#include <string>
#include <vector>

#include "report/tree_node.h"
#include "support/process_trap.h"

namespace {
std::string spelled(const record& r) {
  std::string out(r.keyword());
  for (uint32_t position = 1; position <= r.size(); ++position) {
    const field value = r.at(position);
    out += ' ';
    out += value.is_text() ? std::string(value.text)
           : value.type == field_type::none ? std::string("-")
           : (value.is_number() ? "#" : "n") + std::to_string(value.number);
  }
  return out;
}

record* made(const std::vector<field>& fields, bool growing = true) { return make_record("XI", fields, 10, growing); }
}  // namespace

// Positions run over the fields, then the numbers, then the tail; a tail
// handed on leaves its record ending before it.
TEST(Record, PositionsFieldsNumbersAndTail) {
  record* target = made({field::of_number(7), field::of_text("\"a\"")});
  target->number(2, 40);
  EXPECT_EQ(spelled(*target), "XI #7 \"a\" n2 n40");
  EXPECT_EQ(target->read_fields(), 2u);
  EXPECT_EQ(target->at(0).type, field_type::none);
  EXPECT_EQ(target->at(5).type, field_type::none);

  record* incoming = made({field::of_number(8), field::of_text("\"b\""), field::of_text("\"long text\"")});
  incoming->number(3, 41);
  incoming->hand_tail_to(target, 3);
  EXPECT_EQ(spelled(*incoming), "XI #8 \"b\"");
  EXPECT_EQ(spelled(*target), "XI #7 \"a\" n2 n40 \"long text\" n3 n41");
  incoming->hand_tail_to(target, 3);  // nothing left from there
  incoming->hand_tail_to(target, 1);
  EXPECT_EQ(spelled(*incoming), "XI");
  EXPECT_EQ(spelled(*target), "XI #7 \"a\" n2 n40 \"long text\" n3 n41 #8 \"b\"");

  // Texts set later, in fields and in the tail, even from the record's own.
  target->set_at(2, target->at(5));
  target->set_at(6, field::of_text("\"z\""));
  target->set_at(1, field{});
  EXPECT_EQ(spelled(*target), "XI - \"long text\" n2 n40 \"long text\" \"z\" n41 #8 \"b\"");
  record* copy = copy_record(*target, "FW");
  EXPECT_EQ(spelled(*copy), "FW - \"long text\" n2 n40 \"long text\" \"z\" n41 #8 \"b\"");
  EXPECT_EQ(copy->read_fields(), 2u);
  for (record* r : {target, incoming, copy}) free_record(r);
}

// A tail that outgrows its room, as a merged end's does over many reports,
// keeps every position, texts and numbers, in order.
TEST(Record, ATailGrownOverManyReportsKeepsItsPositions) {
  record* target = made({field::of_number(1)});
  std::string expected = "XI #1";
  for (int report = 1; report <= 20; ++report) {
    const std::string text = "\"t" + std::to_string(report) + "\"";
    record* incoming = made({field::of_number(report), field::of_text(text)});
    incoming->number(static_cast<uint16_t>(report), 100 + report);
    incoming->hand_tail_to(target, 2);
    expected += " " + text + " n" + std::to_string(report) + " n" + std::to_string(100 + report);
    free_record(incoming);
  }
  EXPECT_EQ(spelled(*target), expected);
  free_record(target);
}

// A record made without room to grow, or a number's position, takes no
// text: the passes only ever set texts where the vocabulary makes room.
TEST(Record, EditsOutsideTheRecordsRoomAreInternalErrors) {
  const std::function<void(record*)> edits[] = {
      [](record* r) { r->set_at(1, field::of_text("\"t\"")); },
      [](record* r) { r->set_at(2, field::of_number(1)); },
      [](record* r) { r->set_at(4, field::of_number(1)); },
  };
  for (const auto& edit : edits) {
    record* fixed = made({field::of_number(1)}, false);
    fixed->number(1, 1);
    expect_fatal([&] { edit(fixed); }, INTERNAL_ERROR);
    free_record(fixed);
  }
}

// Releasing very long chains and deep trees must not grow the stack with
// their size.
static void* release(void* length) {
  const long n = *static_cast<long*>(length);
  tree_node* chain = nullptr;
  for (long i = 0; i < n; ++i) chain = make_list(make_record("XX", nullptr, 0), chain);
  free_tree(chain);
  tree_node* tree = nullptr;
  for (long i = 0; i < n; ++i) tree = list1(tree);
  free_tree(tree);
  return nullptr;
}

TEST(ObjetRelease, LongChainsAndDeepTreesOnASmallStack) {
#if defined(__SANITIZE_ADDRESS__)
  long length = 100000;
#else
  long length = 1000000;
#endif
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstacksize(&attributes, 64 * 1024);
  pthread_t thread;
  ASSERT_EQ(pthread_create(&thread, &attributes, release, &length), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attributes);
}
