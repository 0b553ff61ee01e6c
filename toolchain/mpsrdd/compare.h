#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "run_view.h"
#include "step_lengths.h"

// Differences of one kind: all are counted, the first LISTED kept.
template <typename T> struct listed {
  std::vector<T> first;
  uint64_t count = 0;
  void add(T item) {
    if (count++ < LISTED) first.push_back(std::move(item));
  }
  static const size_t LISTED = 1000;
};

// A test step whose status, as one tester ran it or as merged, differs
// between the runs.
struct status_change {
  std::string tester, item, step; // no tester: the merged status
  std::string then, now; // FS field 3 as written, empty when unknown
  verdict was, is;
};

// Something of one run only: a test item, a test step, a step of a tester.
struct one_run_only {
  std::string what;
  bool in_new;
};

struct error_change {
  std::string tester, text;
  uint32_t line; // in the RDD report that holds it
  bool in_new;
};

// A test step one tester ran in both runs, whose length changed by more
// than the threshold (see step_lengths).
struct timing_change {
  std::string tester, item, step;
  uint32_t then_start, now_start;   // on each run's merged time base
  int64_t then_length, now_length;  // in the lengths' unit
  int64_t change() const { return now_length - then_length; }
};

struct clock_change {
  std::string tester;
  const clock_alignment *then, *now;
};

// Testers are matched by ROD report and scenario, then by scenario in their
// order (see tester_match), test steps by
// test item (DS field 4), name (DS field 1) and how many came before them
// with both the same. The merged statuses are compared always, a tester's
// own only where both runs have it.
struct run_differences {
  bool plans_differ = false;
  uint64_t matched_by_report = 0, matched_by_position = 0; // testers
  listed<status_change> changed;    // those that now fail first
  listed<one_run_only> one_run;
  listed<error_change> errors;      // ER records of one run only, by tester and text
  listed<one_run_only> testers;     // missing from one run
  listed<clock_change> moved;       // the clocks of testers of both runs whose scale or shift changed
  std::optional<length_unit> lengths; // nothing: the runs' ticks cannot be compared
  listed<timing_change> timings;    // the largest changes first

  bool verdicts_differ() const { return changed.count || one_run.count || testers.count; }
};

run_differences compare_runs(const run_view& old_run, const run_view& new_run);

std::string render_compare_text(const run_view& old_run, const run_view& new_run, const run_differences& d);
std::string render_compare_page(const run_view& old_run, const run_view& new_run, const run_differences& d);

// Puts the page's two timelines on one axis, before the page's own script
// sets them up.
extern const char COMPARE_SCRIPT[];

// "failed (1)", as both renderings show a status.
std::string status_text(verdict meaning, const std::string& raw);
std::string clock_text(const clock_alignment* c);
