#include "driver/postpro_runs.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include <QString>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "driver/output_guard.h"
#include "driver/pairing.h"
#include "driver/rio_locks.h"
#include "driver/run_state.h"
#include "driver/write_rdd.h"
#include "messages/emit.h"
#include "util/paths.h"
#include "util/process_exit.h"
#include "util/run_program.h"

// The areas the post-processor and bridge commands were composed in; a
// name that would not fit them is refused rather than cut.
enum { COMMAND_AREA = 5120, NAME_AREA = 2048, MPS_DIR_MISSING_STATUS = 1 };

std::string rod_path_of(const char* rio_name) {
  std::string path(rio_name);
  size_t dot = path.rfind('.');
  if (dot != std::string::npos) path.erase(dot);
  return path + ".rod";
}

bool last_dot_in_folder(const char* rio_name) {
  const char* dot = strrchr(rio_name, '.');
  const char* slash = strrchr(rio_name, '/');
  return dot && slash && dot < slash;
}

std::string second_argument_of(const char* rio_name) {
  std::string argument(rio_name);
  size_t dot = argument.rfind('.');
  if (dot != std::string::npos && argument.compare(dot, 4, ".rio") == 0) argument.replace(dot, std::string::npos, ".ro");
  return argument;
}

static void require_fit(size_t length, size_t area, const char* name) {
  if (length >= area) msg_fatal("NAMTOOLNG", name_arg(name), QString::number(area - 1));
}

template <typename... Texts>
static size_t formatted_length(const char* format, Texts... texts) {
  return static_cast<size_t>(snprintf(nullptr, 0, format, texts...));
}

// One post-processor run: the RIO row it serves and its argument vector,
// whose last word is "-NOLOG" or "-LOG".
struct postpro_run {
  int rio;
  std::vector<std::string> arguments;
};

static void append_words(const char* text, std::vector<std::string>* words) {
  for (const char* p = text; *p;) {
    size_t length = strcspn(p, " \t");
    if (length) words->emplace_back(p, length);
    p += length;
    p += strspn(p, " \t");
  }
}

static postpro_run compose_run(const char* mps_dir, int rio, const char* tdc_name) {
  const char* rio_name = cmd_line.files[rio_table[rio].file_index];
  require_fit(strlen(rio_name), NAME_AREA, rio_name);
  std::string rod_path = rod_path_of(rio_name);
  if (last_dot_in_folder(rio_name)) msg_fatal("RIODOTDIR", name_arg(rio_name), name_arg(rod_path.c_str()));
  require_fit(rod_path.size(), ROD_SLOT_SIZE, rio_name);
  std::string second = second_argument_of(rio_name);
  const char* log_word = run_options.log ? "-LOG" : "-NOLOG";
  require_fit(formatted_length("\"%s%s%s\" \"%s\" \"%s\" %s -TDC=\"%s\" %s", mps_dir, "/", "mpspostpro",
                               rio_name, second.c_str(), postpro_options, tdc_name, log_word),
              COMMAND_AREA, rio_name);
  strcpy(rod_file_list[rio], rod_path.c_str());

  postpro_run run{rio, {std::string(mps_dir) + "/mpspostpro", rio_name, second}};
  append_words(postpro_options, &run.arguments);
  run.arguments.push_back(std::string("-TDC=") + tdc_name);
  run.arguments.push_back(log_word);
  return run;
}

static std::vector<postpro_run> compose_runs(const char* mps_dir) {
  std::vector<postpro_run> runs;
  for (int t = 0; t < tdc_rows_filled; ++t) {
    const tdc_row& tdc = tdc_table[t];
    if (tdc.file_index == -1 || tdc.pair_count <= 0) continue;
    const char* tdc_name = cmd_line.files[tdc.file_index];
    require_fit(formatted_length("\"%s\"", tdc_name), NAME_AREA, tdc_name);
    require_fit(formatted_length("%s -TDC=\"%s\"", postpro_options, tdc_name), COMMAND_AREA, tdc_name);
    for (int i = 0; i < PAIR_ROWS && rio_of_tdc[t][i] != -1; ++i)
      runs.push_back(compose_run(mps_dir, rio_of_tdc[t][i], tdc_name));
  }
  return runs;
}

static void refuse_lost_files(const std::vector<postpro_run>& runs) {
  std::vector<rod_output> outputs;
  for (const postpro_run& run : runs)
    outputs.push_back({cmd_line.files[rio_table[run.rio].file_index], rod_file_list[run.rio]});
  std::vector<const char*> inputs;
  for (const char* name : cmd_line.files)
    if (name) inputs.push_back(name);
  refuse_overwrites(outputs, inputs, rdd_report_name(dest_option(cmd_line)));
  refuse_unwritable_report(rdd_report_name(dest_option(cmd_line)));
}

// True when the run ended by itself with status 0 or 3.
static bool judge(int status) {
  if (status == -1 || !WIFEXITED(status)) return false;
  if (WEXITSTATUS(status) == 3) {
    ++incorrect_run_count;
    if (!run_options.log) msg_warning("MSGENDPOS", QString(), QString());
    return true;
  }
  return WEXITSTATUS(status) == 0;
}

void run_postprocessors() {
  const char* mps_dir = getenv("MPS_DIR");
  if (!mps_dir) {
    fputs("MPS_DIR not set, stop execution.\n", stderr);
    end_process(MPS_DIR_MISSING_STATUS);
  }
  std::vector<postpro_run> runs = compose_runs(mps_dir);
  refuse_lost_files(runs);
  std::vector<const char*> rio_names;
  for (const postpro_run& run : runs) rio_names.push_back(cmd_line.files[rio_table[run.rio].file_index]);
  lock_rio_files(rio_names);

  bool failed = false;
  for (postpro_run& run : runs) {
    QString rio_name = name_arg(cmd_line.files[rio_table[run.rio].file_index]);
    if (run_options.log) msg_info("MERGEPOST", rio_name, QString());
    int status = run_program(run.arguments);
    fflush(stdout);
    if (!run_options.log) msg_info("MERGEPOST", rio_name, QString());
    if (judge(status)) continue;
    failed = true;
    if (!run_options.log) {
      // Once more with its log, for the user to see why; not judged again.
      run.arguments.back() = "-LOG";
      run_program(run.arguments);
      fflush(stdout);
    }
  }
  if (failed) msg_fatal("POSTFAILD", QString(), QString());
  // What the names told before the runs, the files themselves tell now.
  refuse_lost_files(runs);
}

void run_bridge(const char* rdd_name, const char* mps_dir) {
  if (!rdd_name || !*rdd_name) msg_fatal("POSTFAILD", QString(), QString());
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
