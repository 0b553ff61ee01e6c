// Writes one benchmark run into a directory: the TDC file bench.tdc and the
// RIO traces t000.rio, t001.rio, ... of TESTERS virtual testers, each of
// about RECORDS records (the header line not counted).
//
//   generate_run SEED TESTERS RECORDS DIR [SHAPE]
//
// The records after the header line are what the post-processor stand-in
// copies into the ROD report, so they are written as a real report reads:
// a RE block with the tester's clock first, then groups (XI, DS, DT or XE
// blocks, some DS blocks holding nested groups) and a DB block last. Group
// names, ids and shapes depend on the seed only, so the groups of all
// testers merge; the record counts inside a group depend on the tester.
// Every tester sees the same absolute timeline through its own clock: tick
// length 1 or 1000, clock CLK-A or CLK-B, its own origin, and one
// rendezvous per top-level group without nested groups at the same absolute
// time for all.
// The same arguments always give the same bytes.
//
// SHAPE (see SHAPES) sets how groups are made: "plain", the default and the
// reference of earlier figures, gives every group a DS block; "nods" leaves
// most groups without one, their events in the XI block, so that the
// testers' groups merge by report and every merged XI record gathers one
// report number per tester; "manygroups" makes thousands of small groups
// per report; "testers" makes small groups for runs of hundreds of testers;
// "mixed" writes every record kind the merger reads, as a post-processor
// would (the scenario and line numbers last), nests groups in about a fifth
// of the DS blocks, leaves half the groups without one, and gives each
// tester a clock of its own (name, tick length 1, 10, 100 or 1000, origin),
// so that only the rendezvous of the top-level test items, at the same
// absolute times in every tester, can align the testers.
//
// The alignment shapes are mixed runs built so that each road of the
// alignment is exact, every tester's origin and tick length drawn freely:
// "oneclock" puts every tester on one clock name (the clock records align
// them), "rendezvous" gives each a clock of its own (only the rendezvous
// can), "firstrecords" gives each a clock of its own and no rendezvous,
// its first test item at the same absolute time as everyone's. They also
// write CLOCKS, a line per trace: its file name, the absolute tick where
// its clock reads 0 and its tick length in absolute ticks, so that every
// time of the run can be checked against the time it stands for.
#include <cerrno>
#include <cinttypes>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>

namespace {

const char* const HEADER = "MIRVA ProbeSuite \"v2.6a\" \"BENCH-PLAN\" \"%s file\" \"Sun Dec  6 09:00:00 2026\"\n";
const uint32_t START_TIME = 4000000;   // absolute ticks; above every origin
const uint32_t ORIGIN_SPAN = 3000000;  // origins lie in [0, ORIGIN_SPAN)
const uint32_t OWN_ORIGIN_SPAN = 100000; // the first tester's own clock starts in [0, this), the others' one span later
const uint32_t TIME_SPAN = 1200000000; // the timeline stays below 2^31 once aligned
const uint32_t FINE = 1;
const uint32_t COARSE = 1000;          // coarse ticks; every absolute time is a multiple

struct tick_length {
  uint32_t ticks;  // fine ticks of one tick of the clock
  const char* label;
};
const tick_length TICK_LENGTHS[] = {{FINE, "us"}, {10, "10us"}, {100, "100us"}, {COARSE, "ms"}};

const char* label_of(uint32_t tick) {
  for (const tick_length& length : TICK_LENGTHS)
    if (length.ticks == tick) return length.label;
  return "ms";
}

uint64_t mix(uint64_t z) {
  z += 0x9e3779b97f4a7c15ULL;
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  return z ^ (z >> 31);
}

struct rng {
  uint64_t state;
  uint32_t below(uint32_t n) { return static_cast<uint32_t>((state = mix(state)) % n); }
};

// Shape decisions that must agree between testers are drawn from the name.
uint32_t shape_of(uint64_t seed, const std::string& name, uint32_t n) {
  uint64_t h = 0xcbf29ce484222325ULL;
  for (unsigned char c : name) h = (h ^ c) * 0x100000001b3ULL;
  return static_cast<uint32_t>(mix(h ^ mix(seed)) % n);
}

// How the testers' clocks relate; every kind but shared gives each tester
// a clock of its own and the same groups, with rendezvous only in the
// top-level test items (where every tester has them at one time).
enum class clocks {
  shared,       // CLK-A or CLK-B, tick length 1 or 1000
  after_first,  // a name each; every origin after the first tester's
  one,          // one name for all, each its own origin and tick length
  own,          // a name, an origin and a tick length each
  unmet,        // the same, without rendezvous, the first test item on time
};

struct run_shape {
  const char* name;
  uint32_t stepless;       // eighths of the groups (by name) without DS block
  uint32_t least_events;   // events of a group without nested groups: least_events + below(top or nested)
  uint32_t top_events;
  uint32_t nested_events;
  uint32_t nest_top;       // 1 in nest_top top-level DS blocks holds nested groups
  uint32_t nest_inner;     // the same for DS blocks of nested groups
  int deepest;             // groups nest at depths below this
  uint32_t average_group;  // records of a top-level group, roughly
  bool every_kind;         // events of every kind, numbered as a post-processor writes them
  clocks clock;
  bool own_clocks() const { return clock != clocks::shared; }
  bool aligned_exactly() const { return clock == clocks::one || clock == clocks::own || clock == clocks::unmet; }
};

const run_shape SHAPES[] = {
    {"plain", 0, 3, 12, 6, 6, 8, 2, 40, false, clocks::shared},
    {"nods", 6, 3, 12, 6, 6, 8, 2, 30, false, clocks::shared},
    {"manygroups", 2, 1, 2, 2, 10, 10, 1, 12, false, clocks::shared},
    {"testers", 4, 1, 4, 3, 8, 8, 1, 14, false, clocks::shared},
    {"mixed", 4, 2, 8, 4, 5, 6, 2, 22, true, clocks::after_first},
    {"oneclock", 4, 2, 8, 4, 5, 6, 2, 22, true, clocks::one},
    {"rendezvous", 4, 2, 8, 4, 5, 6, 2, 22, true, clocks::own},
    {"firstrecords", 4, 2, 8, 4, 5, 6, 2, 22, true, clocks::unmet},
};

struct tester {
  const run_shape* shape;
  FILE* out;
  rng r;
  uint64_t seed;
  uint32_t origin;   // absolute tick where this tester's clock reads 0
  uint32_t tick;     // FINE or COARSE
  uint32_t now;      // absolute time of the last timed record
  uint32_t step_max; // largest advance between two timed records
  bool on_time;      // the next timed record is at now, not later
  uint64_t records;  // lines written after the header
  uint64_t budget;   // records wanted before the DB block
};

void emit(tester& x, const char* format, ...) {
  va_list args;
  va_start(args, format);
  vfprintf(x.out, format, args);
  va_end(args);
  ++x.records;
}

// Advances the clock and gives the tester's own reading of it.
uint32_t tick_on(tester& x) {
  if (!x.on_time) x.now += COARSE * (1 + x.r.below(x.step_max / COARSE));
  x.on_time = false;
  return (x.now - x.origin) / x.tick;
}

uint32_t local(const tester& x, uint32_t ticks) { return ticks / x.tick; }

// A record as a post-processor writes it: its own fields, then the scenario
// and the record's line in the report, both left out of the RDD report.
void emit_numbered(tester& x, const char* format, ...) {
  va_list args;
  va_start(args, format);
  vfprintf(x.out, format, args);
  va_end(args);
  fprintf(x.out, " \"1\" \"%" PRIu64 "\"\n", x.records + 2);
  ++x.records;
}

void changes(tester& x, uint32_t most) {
  uint32_t n = 1 + x.r.below(most);
  for (uint32_t i = 0; i < n; ++i) {
    if (x.r.below(16) == 0)
      emit(x, "CH \"V%u\" \"said \"\"%u\"\"\" \"ok\"\n", i, x.r.below(1000));
    else
      emit(x, "CH \"V%u\" \"%u\" \"ok\"\n", i, x.r.below(100000));
  }
}

void actions(tester& x, uint32_t most) {
  for (uint32_t n = x.r.below(most + 1); n > 0; --n) {
    if (x.shape->every_kind)
      emit_numbered(x, "XX \"A%u\" \"action\"", x.r.below(100));
    else
      emit(x, "XX \"A%u\" \"action\" \"done\"\n", x.r.below(100));
  }
}

void members(tester& x, const char* keyword, uint32_t most) {
  for (uint32_t n = 1 + x.r.below(most); n > 0; --n)
    emit_numbered(x, "%s \"V%u\" \"%u\"", keyword, x.r.below(20), x.r.below(100000));
}

// An event of the mixed shape: every kind of record the merger reads turns
// up (the first section and the groups hold the others), each event at most
// one clock tick later than the last.
void any_event(tester& x) {
  static const char* const TIMED_PAIRS[] = {"FT", "TN", "TF", "FB"};
  static const char* const DROPPED[] = {"FP", "UN", "PT"};
  uint32_t what = x.r.below(40);
  if (what < 6) {
    emit_numbered(x, "EV \"E%u\" \"signal\" \"1\" \"panel\" \"%u\"", x.r.below(50), tick_on(x));
    members(x, "CH", 2);
  } else if (what < 11) {
    if (x.r.below(3) == 0) emit_numbered(x, "CO \"tester\" \"port polled\"");
    uint32_t at = tick_on(x);
    emit_numbered(x, "DW \"W%u\" \"write\" \"%u\" \"%u\" \"%u\"", x.r.below(50), at,
                  local(x, COARSE * (1 + x.r.below(20))), at);
    for (uint32_t n = 1 + x.r.below(2); n > 0; --n) {
      emit_numbered(x, "DX \"P%u\" \"data\"", x.r.below(8));
      members(x, "CH", 2);
    }
  } else if (what < 15) {
    if (x.r.below(3) == 0) emit_numbered(x, "CO \"tester\" \"curtain watched\"");
    emit_numbered(x, "SN \"S%u\" \"snap\" \"beam\" \"1\" \"0\" \"%u\"", x.r.below(50), tick_on(x));
    members(x, "CH", 1);
  } else if (what < 18) {
    // Field 1 selects the block: "0" ones are pruned.
    uint32_t at = tick_on(x);
    emit_numbered(x, "DA \"%u\" \"timing\" \"%u\" \"%u\" \"%u\"", x.r.below(2), at,
                  local(x, COARSE * (1 + x.r.below(5))), at);
    members(x, "PA", 3);
  } else if (what < 20) {
    emit_numbered(x, "PP \"%u\" \"profile\"", x.r.below(2));
    members(x, "PQ", 2);
    // A time point read from a report has no time the merge can order it
    // by; only as a member of a PP block does it need none.
    if (x.r.below(2) == 0) emit_numbered(x, "TP \"%u\"", (x.now - x.origin) / x.tick);
  } else if (what < 23) {
    emit_numbered(x, "XX \"A%u\" \"check\"", x.r.below(100));
  } else if (what < 25) {
    emit_numbered(x, "EX \"X%u\" \"exception\"", x.r.below(20));
  } else if (what == 25) {
    emit_numbered(x, "ER \"tester\" \"verdict %u differs\"", x.r.below(10));
  } else if (what < 30) {
    const char* keyword = TIMED_PAIRS[x.r.below(4)];
    uint32_t span = local(x, COARSE * (1 + x.r.below(9)));
    emit_numbered(x, "%s \"%u\" \"%u\"", keyword, span, tick_on(x));
  } else if (what < 32) {
    uint32_t span = local(x, COARSE * (1 + x.r.below(9)));
    emit_numbered(x, "IC \"C%u\" \"check\" \"in\" \"out\" \"%u\" \"ok\" \"%u\"", x.r.below(20), span,
                  tick_on(x));
  } else if (what < 34) {
    uint32_t span = local(x, COARSE * (1 + x.r.below(9)));
    emit_numbered(x, "ID \"D%u\" \"dump\" \"raw\" \"%u\" \"%u\"", x.r.below(20), span, tick_on(x));
  } else if (what < 36) {
    emit_numbered(x, "DP \"D%u\" \"%u\"", x.r.below(20), tick_on(x));
  } else {
    emit_numbered(x, "%s \"N%u\" \"dropped\"", DROPPED[x.r.below(3)], x.r.below(20));
  }
}

void event(tester& x) {
  if (x.shape->every_kind) {
    any_event(x);
    return;
  }
  uint32_t what = x.r.below(20);
  if (what < 7) {
    uint32_t at = tick_on(x);
    emit(x, "DW \"W%u\" \"write\" \"%u\" \"%u\" \"%u\"\n", x.r.below(50), at,
         local(x, COARSE * (1 + x.r.below(20))), at);
    for (uint32_t n = 1 + x.r.below(2); n > 0; --n) {
      emit(x, "DX \"P%u\" \"data\" \"%u\"\n", x.r.below(8), x.r.below(4096));
      changes(x, 2);
    }
  } else if (what < 13) {
    emit(x, "EV \"E%u\" \"signal\" \"%u\" \"info\" \"%u\"\n", x.r.below(50), x.r.below(10), tick_on(x));
    changes(x, 2);
  } else if (what < 17) {
    emit(x, "SN \"S%u\" \"snap\" \"x\" \"%u\" \"%u\" \"%u\"\n", x.r.below(50), x.r.below(10),
         x.r.below(10), tick_on(x));
    changes(x, 1);
  } else {
    emit(x, "XX \"A%u\" \"check\" \"done\"\n", x.r.below(100));
  }
}

void group(tester& x, const std::string& name, uint32_t order, int depth, uint32_t rendezvous_at);

// rendezvous_at: its absolute time, 0 for one at the tester's own pace.
void rendezvous(tester& x, const std::string& name, int depth, uint32_t rendezvous_at) {
  if (rendezvous_at > x.now) x.now = rendezvous_at;
  uint32_t rd = depth == 0 ? (x.now - x.origin) / x.tick : tick_on(x);
  if (x.shape->every_kind)
    emit_numbered(x, "RD \"RDV-%s\" \"sync\" \"%u\" \"%u\" \"%u\"", name.c_str(), depth, rd, rd);
  else
    emit(x, "RD \"RDV-%s\" \"sync\" \"%u\" \"%u\" \"%u\"\n", name.c_str(), depth, rd, rd);
}

// The records of a group without nested groups, after its XI or DS record.
void leaf(tester& x, const std::string& name, int depth, uint32_t rendezvous_at) {
  if (!x.shape->own_clocks()) rendezvous(x, name, depth, rendezvous_at);
  uint32_t n = x.shape->least_events + x.r.below(depth == 0 ? x.shape->top_events : x.shape->nested_events);
  for (uint32_t i = 0; i < n && x.records < x.budget; ++i) event(x);
}

void ds_block(tester& x, const std::string& name, uint32_t order, int depth, uint32_t rendezvous_at) {
  bool nested = depth < x.shape->deepest &&
                shape_of(x.seed, name + "/nest", depth == 0 ? x.shape->nest_top : x.shape->nest_inner) == 0;
  uint32_t at = tick_on(x);
  emit(x, "DS \"%s\" \"Test group\" \"STEP\" \"ID-%s\" \"%u\" \"%u\" \"%u\"\n", name.c_str(), name.c_str(), at,
       depth, order);
  if (nested) {
    uint32_t inner = 2 + shape_of(x.seed, name + "/inner", 2);
    for (uint32_t j = 1; j <= inner; ++j) group(x, name + "." + std::to_string(j), j, depth + 1, 0);
  } else {
    leaf(x, name, depth, rendezvous_at);
  }
  emit(x, "FS \"%s\" \"%u\" \"%u\" \"0\" \"0\"\n", name.c_str(), tick_on(x), x.r.below(3));
}

bool has_steps(const tester& x, const std::string& name) {
  return x.shape->stepless == 0 || shape_of(x.seed, name + "/steps", 8) >= x.shape->stepless;
}

// rendezvous_at: the absolute time of the group's rendezvous, 0 for a nested group.
void group(tester& x, const std::string& name, uint32_t order, int depth, uint32_t rendezvous_at) {
  emit(x, "XI \"%u\" \"%u\" \"%u\"\n", tick_on(x), order, depth);
  actions(x, 2);
  // A nested group's time depends on the tester: its rendezvous would
  // disturb an alignment that the top-level ones make exact.
  if (x.shape->own_clocks() && x.shape->clock != clocks::unmet && depth == 0) rendezvous(x, name, depth, rendezvous_at);
  if (has_steps(x, name)) {
    emit(x, "YI \"%u\" \"0\"\n", tick_on(x));
    ds_block(x, name, order, depth, rendezvous_at);
  } else {
    leaf(x, name, depth, rendezvous_at);
    emit(x, "YI \"%u\" \"0\"\n", tick_on(x));
  }
  if (shape_of(x.seed, name + "/end", 3) == 0) {
    emit(x, "XE \"%u\" \"ERR\" \"exception\"\n", tick_on(x));
    actions(x, 1);
    emit(x, "FE \"%u\" \"0\"\n", tick_on(x));
  } else {
    emit(x, "DT \"%u\" \"PASS\" \"verdict\"\n", tick_on(x));
    actions(x, 1);
    emit(x, "YT \"%u\" \"0\"\n", tick_on(x));
  }
}

void first_section(tester& x, unsigned index, const std::string& clock) {
  uint32_t whole = 7200 + x.origin / 1000000;
  uint32_t per_unit = 1000000 / x.tick;
  emit(x, "RE \"Bench run\" \"%u\"\n", index);
  emit(x, "SC \"Scenario %03u\" \"bench\"\n", index);
  emit(x, "IT \"1\" \"bench iteration\"\n");
  emit(x, "DE \"Generated run\" \"seed %" PRIu64 "\"\n", x.seed);
  emit(x, "PR \"bench\" \"1\"\n");
  emit(x, "PE \"tester\" \"%03u\"\n", index);
  emit(x, "RU \"run\" \"1\"\n");
  emit(x, "SY \"%s\" \"%u\" \"%u\" \"%u\" \"%u\" \"%s\"\n", clock.c_str(), whole, local(x, x.origin % 1000000),
       per_unit, x.tick, label_of(x.tick));
  emit(x, "PO \"port\" \"%03u\"\n", index);
  emit(x, "IE \"0\" \"BENCH\" \"tester %03u\"\n", index);
  emit(x, "CF \"bench.tdc\" \"plans\" \"/opt/plans\" \"4242\" \"17\"\n");
}

void last_section(tester& x) {
  emit(x, "DB \"Summary\" \"end\"\n");
  emit(x, "BC \"groups\" \"done\"\n");
  emit(x, "BF \"Summary\" \"end\"\n");
}

FILE* open_out(const std::string& path) {
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) {
    fprintf(stderr, "generate_run: cannot write %s: %s\n", path.c_str(), strerror(errno));
    exit(2);
  }
  return f;
}

void close_out(FILE* f, const std::string& path) {
  if (ferror(f) | fclose(f)) {
    fprintf(stderr, "generate_run: cannot write %s\n", path.c_str());
    exit(2);
  }
}

// Sets the tester's origin and tick length; its clock's name.
std::string start_clock(tester& x, unsigned index) {
  switch (x.shape->clock) {
    case clocks::shared:
      x.origin = COARSE * x.r.below(ORIGIN_SPAN / COARSE);
      x.tick = (index + x.seed) % 2 ? COARSE : FINE;
      return index % 3 == 2 ? "CLK-B" : "CLK-A";
    case clocks::after_first:
      // Kept as first drawn, when rendezvous were matched on each tester's
      // own clock and a report lined up only beside a merged report never
      // shifted: the figures of this shape stay comparable.
      x.origin = (index ? OWN_ORIGIN_SPAN : 0) + COARSE * x.r.below(OWN_ORIGIN_SPAN / COARSE);
      x.tick = TICK_LENGTHS[(index + x.seed) % 4].ticks;
      return "CLK-" + std::to_string(index);
    default:
      x.origin = COARSE * x.r.below(ORIGIN_SPAN / COARSE);
      x.tick = TICK_LENGTHS[x.r.below(4)].ticks;
      return x.shape->clock == clocks::one ? "CLK-S" : "CLK-" + std::to_string(index);
  }
}

const uint32_t MOST_TIMED = 160; // timed records of one top-level group, generously

// Writes one trace; clocks, when given, takes its clock's line.
void write_tester(const run_shape& shape, uint64_t seed, unsigned index, uint64_t records, const std::string& dir,
                  FILE* clocks) {
  char name[32];
  snprintf(name, sizeof name, "/t%03u.rio", index);
  std::string path = dir + name;
  tester x{&shape, open_out(path), rng{mix(seed) ^ mix(index + 1)}, seed, 0, 0, START_TIME, 0, false, 0, 0};
  static char buffer[1 << 20];
  setvbuf(x.out, buffer, _IOFBF, sizeof buffer);
  const std::string clock = start_clock(x, index);
  uint64_t groups = records / shape.average_group + 1;
  uint64_t period = TIME_SPAN / groups / COARSE * COARSE;
  if (period > 1000000) period = 1000000;
  if (period < 4 * COARSE) period = 4 * COARSE;
  x.step_max = static_cast<uint32_t>(period / MOST_TIMED / COARSE * COARSE);
  if (x.step_max < COARSE) x.step_max = COARSE;

  fprintf(x.out, HEADER, "RIO");
  first_section(x, index, clock);
  x.budget = records > x.records + 3 ? records - 3 : x.records;
  // With clocks of their own, every tester runs the same groups, whatever
  // its records: a rendezvous the first tester lacks would be matched with
  // that of a report already shifted.
  uint64_t most_groups = shape.own_clocks() ? groups : UINT64_MAX;
  if (shape.own_clocks()) x.budget = UINT64_MAX;
  x.on_time = shape.clock == clocks::unmet;
  for (uint32_t k = 0; x.records < x.budget && k < most_groups && (k + 1) * period < TIME_SPAN; ++k) {
    uint32_t start = static_cast<uint32_t>(START_TIME + k * period);
    if (x.now < start) x.now = start;
    group(x, "G" + std::to_string(k), k, 0, start + 3 * x.step_max);
  }
  last_section(x);
  close_out(x.out, path);
  if (clocks) fprintf(clocks, "%s %u %u\n", name + 1, x.origin, x.tick);
}

void write_tdc(const std::string& dir) {
  std::string path = dir + "/bench.tdc";
  FILE* f = open_out(path);
  fprintf(f, HEADER, "TDC");
  fprintf(f, "CF \"bench.tdc\" \"plans\" \"/opt/plans\" \"4242\" \"17\"\n");
  fprintf(f, "TD \"compiled test description of the benchmark run\"\n");
  close_out(f, path);
}

bool number(const char* text, uint64_t most, uint64_t& value) {
  char* end = nullptr;
  errno = 0;
  unsigned long long v = strtoull(text, &end, 10);
  if (errno || !*text || *end || v > most) return false;
  value = v;
  return true;
}

const run_shape* shape_named(const char* name) {
  for (const run_shape& shape : SHAPES)
    if (strcmp(shape.name, name) == 0) return &shape;
  return nullptr;
}

} // namespace

int main(int argc, char** argv) {
  uint64_t seed, testers, records;
  const run_shape* shape = argc == 6 ? shape_named(argv[5]) : SHAPES;
  if (argc < 5 || argc > 6 || !shape || !number(argv[1], UINT64_MAX, seed) || !number(argv[2], 999, testers) ||
      testers == 0 || !number(argv[3], 10000000, records)) {
    fprintf(stderr, "usage: generate_run SEED TESTERS(1-999) RECORDS DIR "
                    "[plain|nods|manygroups|testers|mixed|oneclock|rendezvous|firstrecords]\n");
    return 2;
  }
  std::string dir = argv[4];
  if (mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST) {
    fprintf(stderr, "generate_run: cannot make %s: %s\n", dir.c_str(), strerror(errno));
    return 2;
  }
  write_tdc(dir);
  const std::string clocks_path = dir + "/CLOCKS";
  FILE* clocks = shape->aligned_exactly() ? open_out(clocks_path) : nullptr;
  for (unsigned i = 0; i < testers; ++i) write_tester(*shape, seed, i, records, dir, clocks);
  if (clocks) close_out(clocks, clocks_path);
  return 0;
}
