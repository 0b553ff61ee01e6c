#include "driver/run_plan.h"

std::string rod_path_of(const std::string& rio_name) {
  std::string path(rio_name);
  const size_t dot = path.rfind('.');
  if (dot != std::string::npos) path.erase(dot);
  return path + ".rod";
}

std::string rdd_report_name(const command_options& options) { return options.dest.value_or("mpsrdd.rdd"); }
