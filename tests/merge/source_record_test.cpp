#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "report/source_record.h"
#include "report/rod_reader.h"
#include "support/report_text.h"
#include "support/scratch_dir.h"

// Leading CF records, relative names and the record's place after the
// first IE record are checked through the binary; here the bytes read, with
// an absolute name. The record describes what was read and merged, whatever
// became of the file since.
TEST(SourceRecord, DescribesTheBytesRead) {
  scratch_dir scratch;
  const std::string path = scratch.path() + "/r.rod";
  std::string digits;
  for (int i = 0; i < 22223; ++i) digits += "123456789";  // read in several blocks
  const std::pair<std::string, std::string> files[] = {
      {"123456789", "\"9\" \"8585\""}, {"", "\"0\" \"0\""}, {digits, "\"200007\" \"12176\""}};
  for (const auto& [content, size_and_crc] : files) {
    write_file(path, content);
    FILE* stream = fopen(path.c_str(), "r");
    file_digest read;
    free_tree(read_records(stream, &read));
    fclose(stream);
    std::ofstream(path, std::ios::app) << "changed since";
    tree_node* report = report_tree(rec("IE \"0\" \"A\""), chain({}), rec("PO \"x\""));
    add_source_record(report, {path.c_str(), 1, read});
    const std::string tail = "\" " + size_and_crc + " \"1\" \"0\" \n";
    EXPECT_NE(record_lines(report->item.list()).find(scratch.path() + tail), std::string::npos) << size_and_crc;
    free_tree(report);
  }
}

// Quotes in the ROD report's name and in the working directory come back
// from the program's own reader as they were, with the size and CRC.
TEST(SourceRecord, SourceRecordReadsBackThroughTheReportReader) {
  scratch_dir scratch;
  const std::string directory = scratch.path() + "/q\"d";
  ASSERT_EQ(mkdir(directory.c_str(), 0700), 0);
  ASSERT_EQ(chdir(directory.c_str()), 0);
  write_file("ca\"b.rod", "123456789");
  tree_node* report = report_tree(rec("IE \"0\" \"A\""), chain({}), rec("PO \"x\""));
  add_source_record(report, {"ca\"b.rod", 3, {9, 8585}});
  const std::string lines = record_lines(report->item.list());
  std::vector<field> fields;
  record* read_back = split_line(lines.substr(lines.find("\nCF ") + 1), &fields, false);
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
  free_tree(report);
}
