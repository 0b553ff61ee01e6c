#include "report/nesting.h"

#include <cstring>
#include <vector>

#include "report/shapes.h"
#include "report/closing.h"
#include "report/report_errors.h"
#include "util/byte_scan.h"

// Replaces the run from opener to closer, which follows before, by a block node.
static tree_node* make_block(tree_node* before, tree_node* opener, tree_node* closer) {
  const record* opening = opener->item.rec();
  tree_node* block = make_list(opener, closer->next, opening ? opening->life() : block_life::whole_run);
  closer->next = nullptr;
  before->next = block;
  return block;
}

// A pass keeps the entries it has read, blocks made of them standing for
// their runs, over the front of the array it reads: it never writes past the
// entry it reads, and no second array of the report's size is made a pass.
// The arrays are reached through pointers of their own, not the vectors: an
// entry written could be the vector's size for all the compiler knows, and
// it would read that again for every entry.
class kept_entries {
 public:
  explicit kept_entries(top_level* top)
      : top_(*top), nodes_(top->nodes()), bits_(top->kind_bits()), read_size_(top->size()) {}
  ~kept_entries() { top_.resize(size_); }
  kept_entries(const kept_entries&) = delete;
  kept_entries& operator=(const kept_entries&) = delete;

  // The entries as the pass found them, read in order.
  size_t read_size() const { return read_size_; }
  tree_node* node(size_t i) const { return nodes_[i]; }
  uint8_t kind_bit(size_t i) const { return bits_[i]; }
  // The first entry from from on whose kind scan looks for, or read_size().
  size_t next_of(size_t from, const byte_scan& scan) const { return scan.next(bits_, from, read_size_); }

  size_t size() const { return size_; }
  void push(tree_node* node, uint8_t kind_bit) {
    nodes_[size_] = node;
    bits_[size_] = kind_bit;
    ++size_;
  }
  // The entries read from from to end are kept as they are, in one move
  // once the pass has closed a block before them.
  void keep(size_t from, size_t end) {
    if (size_ != from) {
      memmove(nodes_ + size_, nodes_ + from, (end - from) * sizeof(tree_node*));
      memmove(bits_ + size_, bits_ + from, end - from);
    }
    size_ += end - from;
  }
  // The run from the entry at opener to closing, read last, becomes a
  // block; the entry before the opener is the node before it in the chain.
  void close_level(size_t opener, tree_node* closing) {
    tree_node* block = make_block(nodes_[opener - 1], nodes_[opener], closing);
    size_ = opener;
    push(block, NOT_RECORD_BIT);
  }

 private:
  top_level& top_;
  tree_node** const nodes_;
  uint8_t* const bits_;
  const size_t read_size_;
  size_t size_ = 0;
};

// Each opener is closed by the first closing record after it.
static void nest_flat(top_level* top, key_set opening, key_set closing) {
  kept_entries out(top);
  const byte_scan openers(opening);
  for (size_t i = 0; i < out.read_size(); ++i) {
    const size_t found = out.next_of(i, openers);
    out.keep(i, found);
    if (found == out.read_size()) break;
    const size_t opener = out.size();
    out.push(out.node(found), out.kind_bit(found));
    i = found;
    do {
      if (++i == out.read_size()) unexpected_end_of_report();
    } while (!kind_among(closing, out.kind_bit(i)));
    out.close_level(opener, out.node(i));
  }
}

// Openers and closing records nest like brackets. Open levels are kept on
// an explicit stack, so that no nesting depth can exhaust the call stack.
static void nest_balanced(top_level* top, key_set opening, key_set closing) {
  kept_entries out(top);
  const byte_scan either(opening | closing);
  std::vector<size_t> levels;
  for (size_t i = 0; i < out.read_size(); ++i) {
    const size_t found = out.next_of(i, either);
    out.keep(i, found);
    if (found == out.read_size()) break;
    i = found;
    tree_node* const node = out.node(i);
    const uint8_t bit = out.kind_bit(i);
    if (kind_among(closing, bit)) {
      if (levels.empty()) unexpected_end_of_report();
      out.close_level(levels.back(), node);
      levels.pop_back();
      continue;
    }
    if (kind_among(opening, bit)) levels.push_back(out.size());
    out.push(node, bit);
  }
  if (!levels.empty()) unexpected_end_of_report();
}

static void split_top(tree_node* head) {
  tree_node* first = head->next;
  if (!first || !first->next) unexpected_end_of_report();
  tree_node* before_last = first;
  while (before_last->next->next) before_last = before_last->next;
  tree_node* last = before_last->next;
  before_last->next = list1(last);
  if (before_last == first) {
    first->next = make_list(nullptr, first->next);
  } else {
    nest_range(first, before_last);
  }
  head->next = make_list(first, first->next);
  first->next = nullptr;
}

// Innermost constructs first; each is closed as the vocabulary says.
static const record_kind nesting_order[] = {KIND_XX, KIND_ER, KIND_EX, KIND_DA, KIND_PP, KIND_EV, KIND_CO, KIND_SN,
                                           KIND_DW, KIND_XI, KIND_DT, KIND_XE, KIND_DS, KIND_RE, KIND_DB};

// A pass that meets none of its kinds changes nothing and is saved: nesting
// makes no record, so a kind absent before the first pass stays absent.
tree_node* nest_blocks(report_top* report) {
  top_level& top = report->entries();
  const key_set present = kinds_present(top);
  for (record_kind opener : nesting_order) {
    const kind_facts& facts = facts_of(opener);
    const key_set opening = key_set_of({opener});
    const key_set closing = key_set_of({facts.closed_by});
    if (facts.block == nesting::balanced) {
      if (present & (opening | closing)) nest_balanced(&top, opening, closing);
    } else {
      if (present & opening) nest_flat(&top, opening, closing);
    }
  }
  split_top(report->head());
  return report->take_chain();
}
