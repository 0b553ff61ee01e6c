// ROD report text through the whole per-report road, the merge and the RDD
// writer. Input: a first byte whose low bit picks the TIME variant, then two
// or three reports separated by lines "====".

#include "driver/shape_report.h"
#include "driver/write_rdd.h"
#include "fuzz_support.h"
#include "merge/merged_report.h"
#include "report/source_record.h"
#include "report/record_kinds.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz_start_process();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool time_variant = data[0] & 1;
  const std::vector<std::string> reports = fuzz_split(data + 1, size - 1, "====", 3);
  // The fatal road leaves its cells behind; fuzz_run releases them.
  record_chain headers;
  init_keyword_records();
  const std::string rdd_path = fuzz_path("out.rdd");
  size_t left_behind = 0;
  const int status = fuzz_run(
      [&] {
        merged_report merged(time_variant);
        for (size_t i = 0; i < reports.size(); ++i) {
          const std::string rod_path = fuzz_path("r" + std::to_string(i) + ".rod");
          fuzz_write_file(rod_path, reports[i]);
          const int report_number = static_cast<int>(i) + 1;
          file_digest read;
          tree_node* report = shape_report(rod_path.c_str(), report_number, time_variant, &headers, &read);
          const report_source source{rod_path.c_str(), report_number, read};
          merged.align(report, survey_report(report), source);
          postprocess_report(report, source);
          merged.merge(report);
        }
        write_rdd_report(rdd_path, merged.take_tree(), headers.take(), "Sun Dec  6 10:00:00 2026");
        release_rdd_report();
      },
      &left_behind);
  // A run that ends normally releases everything it made.
  if (status == -1 && left_behind) fuzz_leak(left_behind);
  return 0;
}
