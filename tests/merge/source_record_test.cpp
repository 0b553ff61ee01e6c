#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <string>

#include "merge/source_record.h"
#include "support/process_trap.h"
#include "support/report_text.h"

// Leading CF records, relative and quoted names and the record's place after
// the first IE record are checked through the binary; here an absolute name,
// an empty and a lost file.
TEST(SourceRecord, SourceRecordOfAnAbsoluteName) {
  char directory[] = "/tmp/rddXXXXXX";
  ASSERT_NE(mkdtemp(directory), nullptr);
  std::string path = std::string(directory) + "/r.rod";
  std::string digits;
  for (int i = 0; i < 22223; ++i) digits += "123456789";  // read in several pieces
  const std::pair<std::string, std::string> files[] = {
      {"123456789", "\"9\" \"8585\""}, {"", "\"0\" \"0\""}, {digits, "\"200007\" \"12176\""}};
  for (const auto& [content, size_and_crc] : files) {
    std::ofstream(path) << content;
    objet* report = report_tree(rec("IE \"0\" \"A\""), chain({}), rec("PO \"x\""));
    add_source_record(report, path.c_str(), 1);
    std::string tail = std::string("\" ") + size_and_crc + " \"1\" \"0\" \n";
    EXPECT_NE(record_lines(report->item).find(directory + tail), std::string::npos) << size_and_crc;
    free_objet(report);
  }
  unlink(path.c_str());
  rmdir(directory);

  objet* report = report_tree(rec("IE \"0\" \"A\""), chain({}), rec("PO \"x\""));
  std::string error;
  EXPECT_EQ(run_to_end([&] { add_source_record(report, path.c_str(), 1); }, &error), 7);
  EXPECT_EQ(error, "Varnet-F-FICERROPN,  File " + path + " opening problem\n");
  free_objet(report);
}
