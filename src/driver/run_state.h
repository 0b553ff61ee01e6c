#pragma once

// The state a run's phases share: the ROD report slots, the count of
// post-processor runs that found incorrect scenarios, the start date, the
// header lines of the ROD reports read, and the command line's option text
// and settings.

#include <cstdint>

#include "cmdline/cmd_line.h"
#include "report/objet.h"

// Process-wide state shared by the phases of a run.
enum { ROD_SLOT_COUNT = 1000, ROD_SLOT_SIZE = 2048, MPS_DIR_SIZE = 2200 };

extern char rod_file_list[ROD_SLOT_COUNT][ROD_SLOT_SIZE];
extern uint32_t incorrect_run_count;
extern const char* start_date;
extern char mps_dir_value[MPS_DIR_SIZE];

// The header lines of the ROD reports read, in reading order. A report's
// joins at the end, which is kept: a run of many reports does not walk the
// chain once per report.
class record_chain {
 public:
  // A chain of one node, at the end.
  void push(objet* node);
  objet* head() const { return head_; }
  // The chain, which the caller takes; this one is left empty.
  objet* take();

 private:
  objet* head_ = nullptr;
  objet* last_ = nullptr;
};
extern record_chain report_headers;
extern char postpro_options[POSTPRO_OPTIONS_SIZE];
extern run_settings run_options;
