#include "driver/postpro_runs.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "driver/output_guard.h"
#include "driver/rio_locks.h"
#include "messages/emit.h"
#include "util/paths.h"
#include "util/process_exit.h"
#include "util/run_program.h"

// The areas the post-processor and bridge commands were composed in; a
// name that would not fit them is refused rather than cut.
enum { COMMAND_AREA = 5120, NAME_AREA = 2048, ROD_PATH_AREA = 2048, MPS_DIR_MISSING_STATUS = 1 };

bool last_dot_in_folder(const char* rio_name) {
  const char* dot = strrchr(rio_name, '.');
  const char* slash = strrchr(rio_name, '/');
  return dot && slash && dot < slash;
}

std::string second_argument_of(const char* rio_name) {
  std::string argument(rio_name);
  size_t dot = argument.rfind('.');
  if (dot != std::string::npos && argument.compare(dot, 4, ".rio") == 0)
    argument.replace(dot, std::string::npos, ".ro");
  return argument;
}

static void require_fit(size_t length, size_t area, const char* name) {
  if (length >= area) msg_fatal("NAMTOOLNG", name_arg(name), QString::number(area - 1));
}

template <typename... Texts>
static size_t formatted_length(const char* format, Texts... texts) {
  return static_cast<size_t>(snprintf(nullptr, 0, format, texts...));
}

// One post-processor run: the tester it serves and its argument vector,
// whose last word is "-NOLOG" or "-LOG".
struct postpro_run {
  const tester_plan* tester;
  std::vector<std::string> arguments;
};

static void append_words(const std::string& text, std::vector<std::string>* words) {
  for (const char* p = text.c_str(); *p;) {
    size_t length = strcspn(p, " \t");
    if (length) words->emplace_back(p, length);
    p += length;
    p += strspn(p, " \t");
  }
}

static postpro_run compose_run(const run_plan& plan, const std::string& mps_dir, const tester_plan& tester) {
  const char* rio_name = tester.rio.c_str();
  const char* postpro_options = plan.options.postpro_options.c_str();
  require_fit(strlen(rio_name), NAME_AREA, rio_name);
  if (last_dot_in_folder(rio_name)) msg_fatal("RIODOTDIR", name_arg(rio_name), name_arg(tester.rod.c_str()));
  require_fit(tester.rod.size(), ROD_PATH_AREA, rio_name);
  std::string second = second_argument_of(rio_name);
  const char* log_word = plan.options.log ? "-LOG" : "-NOLOG";
  require_fit(formatted_length("\"%s%s%s\" \"%s\" \"%s\" %s -TDC=\"%s\" %s", mps_dir.c_str(), "/", "mpspostpro",
                               rio_name, second.c_str(), postpro_options, tester.tdc.c_str(), log_word),
              COMMAND_AREA, rio_name);
  postpro_run run{&tester, {mps_dir + "/mpspostpro", rio_name, second}};
  append_words(plan.options.postpro_options, &run.arguments);
  run.arguments.push_back("-TDC=" + tester.tdc);
  run.arguments.push_back(log_word);
  return run;
}

// TDC file by TDC file, each one's testers in report order.
static std::vector<postpro_run> compose_runs(const run_plan& plan, const std::string& mps_dir) {
  std::vector<const tester_plan*> order;
  for (const tester_plan& tester : plan.testers) order.push_back(&tester);
  std::stable_sort(order.begin(), order.end(),
                   [](const tester_plan* a, const tester_plan* b) { return a->tdc_rank < b->tdc_rank; });
  std::vector<postpro_run> runs;
  for (size_t i = 0; i < order.size(); ++i) {
    const char* tdc_name = order[i]->tdc.c_str();
    if (i == 0 || order[i - 1]->tdc_rank != order[i]->tdc_rank) {
      require_fit(formatted_length("\"%s\"", tdc_name), NAME_AREA, tdc_name);
      require_fit(formatted_length("%s -TDC=\"%s\"", plan.options.postpro_options.c_str(), tdc_name), COMMAND_AREA,
                  tdc_name);
    }
    runs.push_back(compose_run(plan, mps_dir, *order[i]));
  }
  return runs;
}

static void refuse_lost_files(const run_plan& plan, const std::vector<postpro_run>& runs) {
  std::vector<rod_output> outputs;
  for (const postpro_run& run : runs) outputs.push_back({run.tester->rio.c_str(), run.tester->rod.c_str()});
  std::vector<const char*> inputs;
  for (const std::string& name : plan.options.files) inputs.push_back(name.c_str());
  refuse_overwrites(outputs, inputs, plan.output.c_str());
  refuse_unwritable_report(plan.output.c_str());
}

// True when the run ended by itself with status 0 or 3; the runs that found
// incorrect scenarios are counted.
static bool judge(int status, bool log, uint32_t* incorrect_runs) {
  if (status == -1 || !WIFEXITED(status)) return false;
  if (WEXITSTATUS(status) == 3) {
    ++*incorrect_runs;
    if (!log) msg_warning("MSGENDPOS", QString(), QString());
    return true;
  }
  return WEXITSTATUS(status) == 0;
}

uint32_t run_postprocessors(const run_plan& plan, const std::optional<std::string>& mps_dir) {
  if (!mps_dir) {
    fputs("MPS_DIR not set, stop execution.\n", stderr);
    end_process(MPS_DIR_MISSING_STATUS);
  }
  std::vector<postpro_run> runs = compose_runs(plan, *mps_dir);
  refuse_lost_files(plan, runs);
  std::vector<const char*> rio_names;
  for (const postpro_run& run : runs) rio_names.push_back(run.tester->rio.c_str());
  lock_rio_files(rio_names);

  const bool log = plan.options.log;
  uint32_t incorrect_runs = 0;
  bool failed = false;
  for (postpro_run& run : runs) {
    QString rio_name = name_arg(run.tester->rio.c_str());
    if (log) msg_info("MERGEPOST", rio_name, QString());
    int status = run_program(run.arguments);
    fflush(stdout);
    if (!log) msg_info("MERGEPOST", rio_name, QString());
    if (judge(status, log, &incorrect_runs)) continue;
    failed = true;
    if (!log) {
      // Once more with its log, for the user to see why; not judged again.
      run.arguments.back() = "-LOG";
      run_program(run.arguments);
      fflush(stdout);
    }
  }
  if (failed) msg_fatal("POSTFAILD", QString(), QString());
  // What the names told before the runs, the files themselves tell now.
  refuse_lost_files(plan, runs);
  return incorrect_runs;
}

void run_bridge(const char* rdd_name, const char* mps_dir) {
  if (!*rdd_name) msg_fatal("POSTFAILD", QString(), QString());
  std::string directory, name;
  dir_name_of(rdd_name, directory);
  file_name_of(rdd_name, name);
  if (name.size() <= 4) msg_fatal("POSTFAILD", QString(), QString());
  std::string extension = name.substr(name.size() - 4);
  if (extension != ".rdd" && extension != ".RDD") msg_fatal("POSTFAILD", QString(), QString());
  require_fit(formatted_length("\"%s/%s\" -path \"%s\" -name \"%s\" -nobanner ", mps_dir, "mpsuml",
                               directory.c_str(), name.c_str()),
              COMMAND_AREA, rdd_name);
  // The bridge reads the report back: from a FIFO, that would wait for a
  // writer forever.
  struct stat status;
  if (stat(rdd_name, &status) != 0 || !S_ISREG(status.st_mode)) return;
  if (run_program({std::string(mps_dir) + "/mpsuml", "-path", directory, "-name", name, "-nobanner"}) == -1)
    msg_fatal("POSTFAILD", QString(), QString());
}
