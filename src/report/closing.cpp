#include "report/closing.h"

#include <algorithm>
#include <cstddef>
#include <optional>

#include "report/report_errors.h"
#include "report/shapes.h"
#include "report/time_limits.h"
#include "util/byte_scan.h"

// The kind picks the one key a record can match; its keyword must still be
// exactly the key's, so that "REX" is no RE record and the head, of no kind,
// matches nothing.
static bool record_in(const tree_node* node, key_set keys) {
  const record* r = node->item.rec();
  if (!r) return false;
  const uint32_t kind = r->kind();
  return kind < KEYWORD_COUNT && (keys >> kind & 1) && is_exactly(*r, kind);
}

static tree_node* find_before(tree_node* node, key_set keys) {
  if (record_in(node, keys)) return nullptr;
  while (node->next && !record_in(node->next, keys)) node = node->next;
  return node;
}

static tree_node* run_end(tree_node* node, key_set member_keys) {
  if (!node) return nullptr;
  tree_node* previous = nullptr;
  for (; node->next; node = node->next) {
    if (node->item.is_record() && !record_in(node, member_keys)) return previous;
    previous = node;
  }
  return node;
}

// The next run over the chain from cur on, which opens with a record of
// opening_keys and goes on with members: the node before its opener (or
// previous, when cur opens it) and its last node (or the opener itself);
// nothing when no opener follows. A run that reaches the end of the chain is
// unclosed: "UNEXPTEOF".
struct chain_run {
  tree_node* before;
  tree_node* last;
};

static std::optional<chain_run> next_run(tree_node* previous, tree_node* cur, key_set opening_keys,
                                         key_set member_keys) {
  tree_node* before = find_before(cur, opening_keys);
  tree_node* opener = before ? before->next : cur;
  if (!opener) return std::nullopt;
  tree_node* last = run_end(opener->next, member_keys);
  if (!last) {
    last = opener;
  } else if (!last->next) {
    unexpected_end_of_report();
  }
  return chain_run{before ? before : previous, last};
}

// The closing record the vocabulary gives the opening kind: the shared one,
// which a tree links but no pass writes.
template <uint32_t Opening>
static void add_closing_record(tree_node*, tree_node* last, const char*) {
  insert_after(last, list1(const_cast<record*>(keyword_record(keyword_table[Opening].closed_by))));
}

// The wait's start and time moved by its duration, exactly: a sum out of
// range ends the run at the DW record rather than wrap.
static void add_fw_record(tree_node* before, tree_node* last, const char* rod_path) {
  const record& wait = *before->next->item.rec();
  const int32_t duration = wait.at(DW_DURATION).number;
  const uint32_t moved[] = {DW_START.position, facts_of(KIND_DW).time_field};
  for (const uint32_t position : moved) {
    if (!in_time_range(int64_t{wait.at(position).number} + duration)) refuse_time_of(rod_path, wait);
  }
  record* copy = copy_record(wait, keyword_table[KIND_FW].keyword);
  copy->set_kind(KIND_FW);
  for (const uint32_t position : moved) copy->set_number(position, wait.at(position).number + duration);
  insert_after(last, list1(copy));
}

// A run of CO records is closed by FO after the first DW (or else SN) block
// that follows it, after that block's own members: FO lands beyond the CO
// run, where the loop over the top level (close_runs) does not follow, so
// this rule goes over the chain. A node that is the last of the chain
// closes nothing more.
static void close_comment_runs(tree_node* head, const char* rod_path) {
  const key_set comment = key_set_of({KIND_CO});
  tree_node* previous = head;
  for (tree_node* cur = head->next; cur && cur->next;) {
    const std::optional<chain_run> run = next_run(previous, cur, comment, comment);
    if (!run) return;
    tree_node* follower = run->last->next;
    const bool wait = follower && record_in(follower, key_set_of({KIND_DW}));
    const key_set opening = wait ? key_set_of({KIND_DW}) : key_set_of({KIND_SN});
    const key_set members = wait ? key_set_of({KIND_DX, KIND_FX, KIND_CH, KIND_FF}) : key_set_of({KIND_CH, KIND_FN});
    if (follower && follower->next) {
      if (const std::optional<chain_run> block = next_run(run->last, follower, opening, members))
        add_closing_record<KIND_CO>(block->before, block->last, rod_path);
    }
    previous = run->last;
    cur = run->last->next;
  }
}

static uint8_t kind_bit_of(tree_node* node) {
  const record* r = node->item.rec();
  if (!r) return NOT_RECORD_BIT;
  return record_in(node, ANY_KIND) ? static_cast<uint8_t>(r->kind()) : top_level::NO_KEY;
}

// Counted first, so that the array is made once with room for every closing
// record the rules may add, never to be grown and moved over a report of a
// million lines: a rule adds one record a run, a run starts at an opener,
// and only DW records open the runs of two rules, so at most two records an
// entry. The room it does not fill costs no memory (see mapped_room.h).
void read_top_level(tree_node* head, top_level* top) {
  size_t count = 0;
  for (tree_node* node = head; node; node = node->next) ++count;
  top->clear();
  top->reserve(3 * count);
  for (tree_node* node = head; node; node = node->next) top->push_back(node, kind_bit_of(node));
}

key_set kinds_present(const top_level& top) {
  const uint8_t* const bits = top.kind_bits();
  key_set present = 0;
  for (size_t i = 0; i < top.size(); ++i) present |= key_set{1} << bits[i];
  return present & ~(key_set{1} << top_level::NO_KEY);
}

// A node a rule put into the chain, after the node of the entry at after.
struct added_entry {
  size_t after;
  tree_node* node;
};

// The array takes the added nodes' entries in their places, the entries
// after them moving up from the back: the array is changed where it lies,
// and no second one of the report's size is made a rule.
static void insert_added(top_level* top, const std::vector<added_entry>& added) {
  if (added.empty()) return;
  size_t read = top->size();
  size_t write = read + added.size();
  top->resize(write);
  tree_node** const nodes = top->nodes();
  uint8_t* const bits = top->kind_bits();
  for (size_t j = added.size(); j > 0; --j) {
    const size_t moved_from = added[j - 1].after + 1;
    std::move_backward(nodes + moved_from, nodes + read, nodes + write);
    std::move_backward(bits + moved_from, bits + read, bits + write);
    write -= read - moved_from;
    read = moved_from;
    --write;
    nodes[write] = added[j - 1].node;
    bits[write] = kind_bit_of(added[j - 1].node);
  }
}

// The nodes a rule that went over the chain put into it, found between the
// nodes of consecutive entries.
static void find_added(const top_level& top, std::vector<added_entry>* added) {
  added->clear();
  for (size_t i = 0; i < top.size(); ++i) {
    tree_node* following = i + 1 < top.size() ? top.node(i + 1) : nullptr;
    for (tree_node* node = top.node(i)->next; node != following; node = node->next) added->push_back({i, node});
  }
}

// close_blocks from the first entry, over the array: the action inserts its
// records right after the run, and they are never openers. added is where
// the rule notes what it inserted.
static void close_runs(top_level* top, std::vector<added_entry>* added, key_set opening, key_set members,
                       closing_action action, const char* rod_path) {
  tree_node* const* const nodes = top->nodes();
  const uint8_t* const bits = top->kind_bits();
  const size_t n = top->size();
  const byte_scan openers(opening);
  added->clear();
  tree_node* previous = nodes[0];  // the node before the current one, inserted ones included
  size_t i = 1;  // the first entry not yet gone past; the current node is it or inserted before it
  bool after_insert = false;
  while (after_insert ? i < n : i + 1 < n) {
    const size_t opener = openers.next(bits, i, n);
    if (opener == n) break;
    size_t end = opener + 1;  // the first non-member record after the opener
    if (end < n) {
      while (end + 1 < n && kind_among(members | NOT_RECORD, bits[end])) ++end;
      if (end + 1 == n) unexpected_end_of_report();
    }
    const size_t last = end - 1;
    action(opener == i ? previous : nodes[opener - 1], nodes[last], rod_path);
    i = last + 1;
    tree_node* following = i < n ? nodes[i] : nullptr;
    previous = nodes[last];
    after_insert = false;
    for (tree_node* node = previous->next; node != following; node = node->next) {
      added->push_back({last, node});
      previous = node;
      after_insert = true;
    }
  }
  insert_added(top, *added);
}

// The rules run in this order, so later member sets hold closing records
// that earlier rules made. A rule closes the runs of the top level with its
// action, or (the comment rule) goes over the chain, the top level being
// read again after it.
struct closing_rule {
  uint32_t opening;
  key_set members;
  closing_action action;
  bool makes_copy;  // the action inserts FW copies, not the opening's closing records
  void (*over_chain)(tree_node* head, const char* rod_path);
};

static const closing_rule closing_rules[] = {
    {KIND_PP, key_set_of({KIND_PQ, KIND_TP}), add_closing_record<KIND_PP>, false, nullptr},
    {KIND_DA, key_set_of({KIND_PA}), add_closing_record<KIND_DA>, false, nullptr},
    {KIND_EV, key_set_of({KIND_CH}), add_closing_record<KIND_EV>, false, nullptr},
    {KIND_DX, key_set_of({KIND_CH}), add_closing_record<KIND_DX>, false, nullptr},
    {KIND_SN, key_set_of({KIND_CH}), add_closing_record<KIND_SN>, false, nullptr},
    {KIND_DW, key_set_of({KIND_DX, KIND_FX, KIND_CH}), add_closing_record<KIND_DW>, false, nullptr},
    {KIND_DW, key_set_of({KIND_DX, KIND_FX, KIND_FF, KIND_EV, KIND_FV, KIND_CH}), add_fw_record, true, nullptr},
    {KIND_CO, 0, nullptr, false, close_comment_runs},
    {KIND_RE,
     key_set_of({KIND_SC, KIND_IT, KIND_DE, KIND_PR, KIND_PE, KIND_RU, KIND_SY, KIND_PO, KIND_IE, KIND_CF}),
     add_closing_record<KIND_RE>, false, nullptr},
};

report_top::report_top(tree_node* chain, const char* rod_path)
    : head_(list1(make_record("  ", nullptr, 0))), rod_path_(rod_path) {
  head_->next = chain;
  read_top_level(head_, &entries_);
}

// The passes leave no other mark (filtering dropped its records): only the
// head goes, without a walk over the whole tree.
tree_node* report_top::take_chain() {
  entries_ = top_level{};
  tree_node* chain = drop_first(head_);
  head_ = nullptr;
  return chain;
}

// A rule whose openers are absent changes nothing: its scan is saved.
void add_closing_records(report_top* report) {
  tree_node* head = report->head();
  top_level& top = report->entries();
  key_set present = kinds_present(top);
  std::vector<added_entry> added;
  for (const closing_rule& rule : closing_rules) {
    const key_set opening = key_set_of({rule.opening});
    if (!(present & opening)) continue;
    if (rule.over_chain) {
      rule.over_chain(head, report->rod_path());
      find_added(top, &added);
      insert_added(&top, added);
    } else {
      close_runs(&top, &added, opening, rule.members, rule.action, report->rod_path());
    }
    present |= key_set_of({rule.makes_copy ? KIND_FW : keyword_table[rule.opening].closed_by});
  }
}
