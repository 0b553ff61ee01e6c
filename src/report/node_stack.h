#pragma once

// A stack of nodes for the walks that keep their levels on a stack of their
// own: most walks go a level or two deep and never touch the heap.

#include <cstddef>
#include <vector>

struct tree_node;

class node_stack {
 public:
  node_stack() = default;
  node_stack(const node_stack&) = delete;
  node_stack& operator=(const node_stack&) = delete;

  void push(tree_node* node) {
    if (near_ < NEAR)
      near_nodes_[near_++] = node;
    else
      far_.push_back(node);
  }
  bool empty() const { return near_ == 0; }
  tree_node* top() const { return far_.empty() ? near_nodes_[near_ - 1] : far_.back(); }
  tree_node* pop() {
    tree_node* node = top();
    if (far_.empty())
      --near_;
    else
      far_.pop_back();
    return node;
  }

 private:
  static constexpr size_t NEAR = 32;
  tree_node* near_nodes_[NEAR];
  size_t near_ = 0;
  std::vector<tree_node*> far_;
};
