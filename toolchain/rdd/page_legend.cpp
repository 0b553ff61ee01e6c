#include "page_legend.h"

namespace {

struct legend_entry {
  const char* classes;
  const char* text;
};

// In the order of legend_key.
const legend_entry ENTRIES[] = {
    {"m item", "test item"},
    {"m step passed", "step passed"},
    {"m step failed", "step failed"},
    {"m step inconclusive", "step inconclusive"},
    {"m step unknown", "step of unknown status"},
    {"m verdict dt", "DT"},
    {"m verdict xe", "XE"},
    {"m activity ev", "EV"},
    {"m activity sn", "SN"},
    {"m activity da", "DA"},
    {"m activity", "DW and other timed records"},
    {"m rendezvous", "rendezvous (joined across lanes)"},
    {"m error", "ER"},
    {"density", "density band (taller: more records)"},
};

} // namespace

legend_key legend_key_of(const page_input& in, const page_layout& layout, uint32_t mark_index) {
  const mark& m = in.lanes.marks[mark_index];
  std::string_view keyword = in.rdd.records[m.record].keyword();
  switch (m.row) {
  case mark_row::item: return legend_key::item;
  case mark_row::step: return static_cast<legend_key>(static_cast<int>(legend_key::passed) + static_cast<int>(layout.verdicts[mark_index]));
  case mark_row::verdict: return keyword == "XE" ? legend_key::xe : legend_key::dt;
  case mark_row::rendezvous: return legend_key::rendezvous;
  case mark_row::error: return legend_key::error;
  case mark_row::activity: break;
  }
  if (keyword == "EV") return legend_key::ev;
  if (keyword == "SN") return legend_key::sn;
  if (keyword == "DA") return legend_key::da;
  return legend_key::activity;
}

void append_legend(std::string& out, const legend_use& legend) {
  out += "<p class=\"legend\">";
  for (size_t k = 0; k < legend.used.size(); ++k) {
    if (!legend.used[k]) continue;
    out += "<span class=\"entry\"><svg class=\"key\" width=\"14\" height=\"10\"><rect class=\"";
    out += ENTRIES[k].classes;
    out += "\" x=\"0\" y=\"0\" width=\"14\" height=\"10\"/></svg>";
    out += ENTRIES[k].text;
    out += "</span> ";
  }
  out += "</p>\n";
}
