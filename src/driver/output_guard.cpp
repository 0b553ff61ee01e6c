#include "driver/output_guard.h"

#include <sys/stat.h>

#include <map>
#include <tuple>

#include "messages/emit.h"
#include "util/file_identity.h"
#include "util/replacement_file.h"

[[noreturn]] static void refuse(const char* report, const char* file) {
  msg_fatal("OVERWRITE", name_arg(report), name_arg(file));
}

static std::vector<file_identity> identities_of(const std::vector<const char*>& names) {
  std::vector<file_identity> identities;
  identities.reserve(names.size());
  for (const char* name : names) identities.push_back(identity_of(name));
  return identities;
}

// Files by identity (same_file's equality), each to the first index that
// names it: a run of hundreds of testers compared every pair.
namespace {
struct identity_order {
  bool operator()(const file_identity* a, const file_identity* b) const {
    return std::tie(a->kind, a->device, a->inode, a->name) < std::tie(b->kind, b->device, b->inode, b->name);
  }
};
using first_of_file = std::map<const file_identity*, size_t, identity_order>;

first_of_file first_indexes(const std::vector<file_identity>& files) {
  first_of_file first;
  for (size_t i = 0; i < files.size(); ++i) first.emplace(&files[i], i);
  return first;
}
}  // namespace

// The first earlier output of the same ROD report decides; the same RIO file
// named twice writes the same report twice, which loses nothing.
static void refuse_shared_rod_reports(const std::vector<rod_output>& outputs, const std::vector<file_identity>& rods) {
  const first_of_file first = first_indexes(rods);
  for (size_t i = 0; i < outputs.size(); ++i) {
    const size_t earlier = first.at(&rods[i]);
    if (earlier == i) continue;
    if (!same_file(identity_of(outputs[earlier].rio_name), identity_of(outputs[i].rio_name)))
      msg_fatal("SAMERODFI", name_arg(outputs[earlier].rio_name), name_arg(outputs[i].rio_name));
  }
}

void refuse_overwrites(const std::vector<rod_output>& outputs, const std::vector<const char*>& inputs,
                       const char* rdd_name) {
  std::vector<const char*> rod_paths;
  for (const rod_output& output : outputs) rod_paths.push_back(output.rod_path);
  const std::vector<file_identity> rods = identities_of(rod_paths);
  const std::vector<file_identity> given = identities_of(inputs);
  refuse_shared_rod_reports(outputs, rods);
  const first_of_file first_given = first_indexes(given);
  for (size_t r = 0; r < rods.size(); ++r) {
    const auto input = first_given.find(&rods[r]);
    if (input != first_given.end()) refuse(rod_paths[r], inputs[input->second]);
  }
  const file_identity rdd = identity_of(rdd_name);
  for (size_t i = 0; i < given.size(); ++i)
    if (same_file(rdd, given[i])) refuse(rdd_name, inputs[i]);
  for (size_t r = 0; r < rods.size(); ++r)
    if (same_file(rdd, rods[r])) refuse(rdd_name, rod_paths[r]);
}

static bool is_directory(const char* name) {
  struct stat status;
  return stat(name, &status) == 0 && S_ISDIR(status.st_mode);
}

void refuse_unwritable_report(const char* rdd_name) {
  if (is_directory(rdd_name) || !may_replace(rdd_name)) msg_fatal("FICNOTOPN", name_arg(rdd_name), QString());
}
