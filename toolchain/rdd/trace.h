#pragma once

#include <string>

#include "run_view.h"

// The run in the trace event format that trace viewers open (JSON): a
// process per tester; test items, steps and DT / XE blocks as complete
// events, each kind on threads of its own so that they nest; timed records as
// instant events; each rendezvous as a flow joining the testers that met;
// ER records as instant events with their text. Times in microseconds on
// the merged base, from its zero; in ticks when the merged clock's label
// names no unit of time.
std::string render_trace(const run_view& run);
