// Stand-in for the toolchain's post-processor, enough to run the merger end
// to end:
//
//   mpspostpro RIO RO OPTIONS... -TDC=TDC -NOLOG|-LOG
//
// The lines of the RIO file after its header line are taken to be ROD
// records already. The ROD report is written at the RIO path with the text
// from its last dot replaced by ".rod" (".rod" appended when there is no
// dot): the RIO header line with "RIO file" turned into "ROD file", then the
// records unchanged. Exit status 3 when a record is an ER record (some
// scenario incorrect), 0 otherwise, 2 when the RIO file cannot be read or
// the ROD report cannot be written.
//
// For tests, when the environment variable MPS_STANDIN_LOG names a file,
// every run appends one line to it: its arguments, argv[0] included,
// separated by TABs (standin_log.h).
// When MPS_STANDIN_HOLD names a file, a run writes the first half of its ROD
// report and waits while that file exists before it writes the rest: a
// report being rewritten, held open for as long as a test needs.
#include "standin_log.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

enum { SOME_INCORRECT = 3, CANNOT_RUN = 2 };

static int fail(const std::string& message) {
  fprintf(stderr, "mpspostpro: %s\n", message.c_str());
  return CANNOT_RUN;
}

static void write_held_halfway(std::ofstream& out, const std::string& records) {
  const char* hold = getenv("MPS_STANDIN_HOLD");
  const size_t half = hold ? records.size() / 2 : records.size();
  out.write(records.data(), static_cast<std::streamsize>(half)).flush();
  while (hold && access(hold, F_OK) == 0) usleep(10000);
  out.write(records.data() + half, static_cast<std::streamsize>(records.size() - half));
}

int main(int argc, char** argv) {
  record_arguments(argc, argv);
  if (argc < 3) return fail("usage: mpspostpro RIO RO OPTIONS... -TDC=TDC -NOLOG|-LOG");
  std::string rio_path = argv[1];
  std::ifstream in(rio_path, std::ios::binary);
  if (!in) return fail("cannot read " + rio_path);
  std::string trace((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

  size_t header_end = trace.find('\n');
  std::string header = trace.substr(0, header_end);
  std::string records = header_end == std::string::npos ? "" : trace.substr(header_end + 1);
  size_t word = header.find("RIO file");
  if (word != std::string::npos) header.replace(word, 8, "ROD file");

  std::string rod_path = rio_path.substr(0, rio_path.rfind('.')) + ".rod";
  std::ofstream out(rod_path, std::ios::binary | std::ios::trunc);
  out << header << '\n';
  write_held_halfway(out, records);
  out.close();
  if (!out) return fail("cannot write " + rod_path);

  std::istringstream lines(records);
  for (std::string line; std::getline(lines, line);)
    if (line.compare(0, 2, "ER") == 0) return SOME_INCORRECT;
  return 0;
}
