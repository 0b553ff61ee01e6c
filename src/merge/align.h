#pragma once

// The steps by which a new report and the merged tree come onto one time
// base (the alignment itself is merged_report's: it owns the tree's shift).

#include <cstdint>
#include <vector>

#include "merge/rendezvous_names.h"
#include "report/objet.h"

// Mean difference of the matched times over the rendezvous both lists of
// RD records hold, matched by name in order; their number through count.
// names: how many names the run has numbered.
int32_t match_rendezvous(const std::vector<rd_ref>& merged_rd, const std::vector<rd_ref>& report_rd, uint32_t names,
                         uint32_t* count);
// The node of the body's first record, or of its first empty item;
// "UNEXPTEOF" when the tree has no body section.
objet* first_record(objet* tree);
