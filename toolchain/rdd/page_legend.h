#pragma once

#include <bitset>
#include <cstdint>
#include <string>

#include "page.h"

// The colours a timeline uses, each told in its legend.
enum class legend_key : uint8_t {
  item, passed, failed, inconclusive, unknown, dt, xe, ev, sn, da, activity, rendezvous, error, density, count
};

struct legend_use {
  std::bitset<static_cast<size_t>(legend_key::count)> used;
  void use(legend_key k) { used.set(static_cast<size_t>(k)); }
};

legend_key legend_key_of(const page_input& in, const page_layout& layout, uint32_t mark_index);

// One entry per colour used, its swatch drawn with the marks' own classes.
void append_legend(std::string& out, const legend_use& legend);
