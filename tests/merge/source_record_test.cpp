#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "merge/source_record.h"
#include "report/rod_reader.h"
#include "support/process_trap.h"
#include "support/report_text.h"

// Leading CF records, relative names and the record's place after
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
    EXPECT_NE(record_lines(report->item.list()).find(directory + tail), std::string::npos) << size_and_crc;
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

// Quotes in the ROD report's name and in the working directory come back
// from the program's own reader as they were, with the size and CRC.
TEST(SourceRecord, SourceRecordReadsBackThroughTheReportReader) {
  char parent[] = "/tmp/rddXXXXXX";
  ASSERT_NE(mkdtemp(parent), nullptr);
  const std::string directory = std::string(parent) + "/q\"d";
  ASSERT_EQ(mkdir(directory.c_str(), 0700), 0);
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir(directory.c_str()), 0);
  std::ofstream("ca\"b.rod") << "123456789";
  objet* report = report_tree(rec("IE \"0\" \"A\""), chain({}), rec("PO \"x\""));
  add_source_record(report, "ca\"b.rod", 3);
  const std::string lines = record_lines(report->item.list());
  std::vector<field> scratch;
  record* read_back = split_line(lines.substr(lines.find("\nCF ") + 1), &scratch, false);
  auto unquoted = [&](uint32_t position) {
    const std::string text(read_back->at(position).text);
    std::string plain;
    for (size_t i = 1; i + 1 < text.size(); ++i) plain += text[i] == '"' ? text[++i] : text[i];
    return plain;
  };
  EXPECT_EQ(unquoted(1), "ca\"b.rod");
  EXPECT_EQ(unquoted(2), "./");
  EXPECT_EQ(unquoted(3), directory + "/.");
  EXPECT_EQ(unquoted(4), "9");
  EXPECT_EQ(unquoted(5), "8585");
  EXPECT_EQ(unquoted(6), "3");
  free_record(read_back);
  free_objet(report);
  unlink("ca\"b.rod");
  EXPECT_EQ(chdir(previous), 0);
  rmdir(directory.c_str());
  rmdir(parent);
}
