#include "report/nesting.h"

#include <cstring>
#include <vector>

#include "report/shapes.h"
#include "report/closing.h"
#include "report/report_errors.h"

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
// The array is reached through a pointer of its own, not the vector: an
// entry written could be the vector's size for all the compiler knows, and
// it would read that again for every entry.
class kept_entries {
 public:
  explicit kept_entries(top_level* top) : top_(*top), entries_(top->data()), read_size_(top->size()) {}
  ~kept_entries() { top_.resize(size_); }
  kept_entries(const kept_entries&) = delete;
  kept_entries& operator=(const kept_entries&) = delete;

  // The entries as the pass found them, read in order.
  size_t read_size() const { return read_size_; }
  const top_entry& read(size_t i) const { return entries_[i]; }

  // The first entry from from on whose kind is among keys, or read_size().
  size_t next_of(size_t from, key_set keys) const { return next_entry_in(entries_, from, read_size_, keys); }

  size_t size() const { return size_; }
  void push(const top_entry& entry) { entries_[size_++] = entry; }
  // The entries read from from to end are kept as they are, in one move
  // once the pass has closed a block before them.
  void keep(size_t from, size_t end) {
    if (size_ != from) memmove(entries_ + size_, entries_ + from, (end - from) * sizeof(top_entry));
    size_ += end - from;
  }
  // The run from the entry at opener to closing, read last, becomes a
  // block; the entry before the opener is the node before it in the chain.
  void close_level(size_t opener, const top_entry& closing) {
    tree_node* block = make_block(entries_[opener - 1].node(), entries_[opener].node(), closing.node());
    size_ = opener;
    push({block, NOT_RECORD});
  }

 private:
  top_level& top_;
  top_entry* const entries_;
  const size_t read_size_;
  size_t size_ = 0;
};

// Each opener is closed by the first closing record after it.
static void nest_flat(top_level* top, key_set opening, key_set closing) {
  kept_entries out(top);
  for (size_t i = 0; i < out.read_size(); ++i) {
    const size_t found = out.next_of(i, opening);
    out.keep(i, found);
    if (found == out.read_size()) break;
    const size_t opener = out.size();
    out.push(out.read(found));
    i = found;
    do {
      if (++i == out.read_size()) unexpected_end_of_report();
    } while (!(out.read(i).kind() & closing));
    out.close_level(opener, out.read(i));
  }
}

// Openers and closing records nest like brackets. Open levels are kept on
// an explicit stack, so that no nesting depth can exhaust the call stack.
static void nest_balanced(top_level* top, key_set opening, key_set closing) {
  kept_entries out(top);
  std::vector<size_t> levels;
  for (size_t i = 0; i < out.read_size(); ++i) {
    const size_t found = out.next_of(i, opening | closing);
    out.keep(i, found);
    if (found == out.read_size()) break;
    i = found;
    const top_entry entry = out.read(i);
    if (entry.kind() & closing) {
      if (levels.empty()) unexpected_end_of_report();
      out.close_level(levels.back(), entry);
      levels.pop_back();
      continue;
    }
    if (entry.kind() & opening) levels.push_back(out.size());
    out.push(entry);
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
  key_set present = 0;
  for (const top_entry& entry : top) present |= entry.kind();
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
