#include <gtest/gtest.h>
#include <pthread.h>

#include "report/objet.h"
#include "support/process_trap.h"

static objet* letters(const char* text) {
  objet* head = nullptr;
  for (const char* p = text; *p; ++p) {
    objet* node = list1(make_string(p, 1));
    head = head ? (append(head, node), head) : node;
  }
  return head;
}

static std::string spelled(objet* chain) {
  std::string out;
  for (; chain; chain = chain->next) out += chain->item ? chain->item->text : "_";
  return out;
}

TEST(ObjetCopy, DeepCopyOwnsItsCellsAndDropsMarks) {
  objet* record = letters("ab");
  record->kind = 7;
  record->flags = REMOVAL_MARK;
  objet* deep = deep_copy(record);
  EXPECT_NE(deep->item, record->item);
  EXPECT_NE(deep->next, record->next);
  EXPECT_EQ(spelled(deep), "ab");
  EXPECT_EQ(deep->kind, 7u);
  EXPECT_EQ(deep->flags, 0);
  free_objet(deep);
  free_objet(record);

  std::string written;
  EXPECT_EQ(run_to_end([] {
              objet stream_cell{};
              stream_cell.type = OBJ_STREAM;
              copy_objet(&stream_cell);
            }, &written), 7);
  EXPECT_EQ(written, "Varnet-F-ERRINTERN,  \n");
}

// Texts are kept in the cell, in a slot or in their own block by length: each
// road must keep its bytes, give a copy its own, and release cleanly.
TEST(ObjetCopy, StringsOfEveryStorageLength) {
  std::string source(40, 'x');
  for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<char>('a' + i % 26);
  for (uint32_t length = 0; length <= 40; ++length) {
    objet* original = make_string(source.data(), length);
    original->kind = 9;
    objet* copy = deep_copy(original);
    free_objet(original);
    EXPECT_EQ(copy->length, length);
    EXPECT_EQ(std::string(copy->text), source.substr(0, length));
    EXPECT_EQ(copy->kind, 9u);
    objet* again = copy_objet(copy);
    EXPECT_NE(again->text, copy->text);
    EXPECT_TRUE(equal_string(again, copy));
    again->text[0] = '#';
    EXPECT_EQ(equal_string(again, copy), length == 0);
    free_objet(copy);
    free_objet(again);
  }
}

// Releasing very long chains must not grow the stack with their length.
static void* release_chain(void* length) {
  objet* head = nullptr;
  for (long i = *static_cast<long*>(length); i > 0; --i) head = make_list(make_int(1), head);
  free_objet(head);
  return nullptr;
}

TEST(ObjetRelease, LongChainsOnASmallStack) {
#if defined(__SANITIZE_ADDRESS__)
  long lengths[] = {100000, 1000000};
#else
  long lengths[] = {100000, 10000000};
#endif
  for (long& length : lengths) {
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 64 * 1024);
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attributes, release_chain, &length), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
  }
}
