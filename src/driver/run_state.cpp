#include "driver/run_state.h"

char rod_file_list[ROD_SLOT_COUNT][ROD_SLOT_SIZE];
uint32_t incorrect_run_count = 0;
const char* start_date = "";
char mps_dir_value[MPS_DIR_SIZE];
record_chain report_headers;
char postpro_options[POSTPRO_OPTIONS_SIZE];
run_settings run_options;

void record_chain::push(objet* node) {
  (last_ ? last_->next : head_) = node;
  last_ = node;
}

objet* record_chain::take() {
  objet* chain = head_;
  head_ = last_ = nullptr;
  return chain;
}
