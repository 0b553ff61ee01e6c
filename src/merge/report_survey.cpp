#include "merge/report_survey.h"

#include "merge/rendezvous_marks.h"

report_survey survey_report(tree_node* report) {
  report_survey survey;
  tree_node* body = report ? report->next : nullptr;
  tree_node* last = body ? body->next : nullptr;
  mark_blocks_without_rd(report, [&](record* r, tree_node* section) {
    if (r->kind() != KIND_SY) return;
    if (is_exactly(*r, KIND_SY)) survey.clocks.push_back(r);
    if (section == report)
      survey.first_clocks.push_back(r);
    else if (section == body)
      survey.body_has_clock = true;
    else if (section == last)
      survey.last_clocks.push_back(r);
  });
  return survey;
}
