#include <gtest/gtest.h>

#include <cctype>
#include <sstream>

#include "commands.h"
#include "packaging/table_options.h"
#include "support/scratch_dir.h"

namespace {

const std::string manual = read_file(MPS_SOURCE_DIR "/docs/mpsmerge.1");

// The manual writes a minus sign as \- and names in bold.
std::string bold(const std::string& form) {
  std::string written = "\\fB";
  for (char c : form) written += c == '-' ? "\\-" : std::string(1, c);
  return written;
}

// Whether text names form in bold, not merely the start of a longer name.
bool names(const std::string& text, const std::string& form) {
  const std::string written = bold(form);
  for (size_t at = text.find(written); at != std::string::npos; at = text.find(written, at + 1)) {
    const size_t end = at + written.size();
    if (end == text.size() || !isalnum(static_cast<unsigned char>(text[end]))) return true;
  }
  return false;
}

std::string section(const std::string& title, const std::string& page = manual) {
  std::istringstream lines(page);
  std::string line, text;
  bool inside = false;
  while (std::getline(lines, line)) {
    if (line.rfind(".SH", 0) == 0) inside = line == ".SH " + title;
    else if (inside) text += line + "\n";
  }
  return text;
}

struct item {
  std::string tag, body;
};

// The tagged paragraphs (.TP) of a section.
std::vector<item> items(const std::string& section_text) {
  std::istringstream lines(section_text);
  std::vector<item> found;
  std::string line;
  bool tag_next = false;
  while (std::getline(lines, line)) {
    if (line == ".TP") {
      found.push_back({});
      tag_next = true;
    } else if (!found.empty()) {
      (tag_next ? found.back().tag : found.back().body) += line + "\n";
      tag_next = false;
    }
  }
  return found;
}

}  // namespace

// Every option of the command table, with its values and default, and no other.
TEST(ManualPage, DescribesTheOptionsOfTheCommandTable) {
  const std::vector<item> option_items = items(section("OPTIONS"));
  const std::string synopsis = section("SYNOPSIS");
  ASSERT_FALSE(manual.empty());
  for (const table_option& option : table_options()) {
    SCOPED_TRACE(option.name);
    EXPECT_TRUE(names(synopsis, option.name));
    const item* described = nullptr;
    for (const item& candidate : option_items)
      if (names(candidate.tag, option.name)) {
        EXPECT_EQ(described, nullptr) << "described twice";
        described = &candidate;
      }
    ASSERT_NE(described, nullptr) << "no item in OPTIONS";
    if (!option.negated.empty()) {
      EXPECT_TRUE(names(synopsis, option.negated));
      EXPECT_TRUE(names(described->tag, option.negated));
    }
    for (const std::string& value : option.values) {
      EXPECT_TRUE(names(synopsis, value)) << value;
      EXPECT_TRUE(names(described->tag, value)) << value;
    }
    if (!option.default_form.empty()) {
      EXPECT_NE(described->body.find("The default is " + bold(option.default_form) + "\\fR."), std::string::npos);
    }
  }
  for (const item& described : option_items) {
    if (described.tag.rfind(bold("-"), 0) != 0) continue;  // the file arguments
    bool known = false;
    for (const table_option& option : table_options()) known = known || names(described.tag, option.name);
    EXPECT_TRUE(known) << described.tag;
  }
}

// mpsrdd's command table: every command in the synopsis and among the
// commands, every option of a command in the synopsis and among the options.
TEST(ManualPage, DescribesMpsrddsCommandTable) {
  const std::string page = read_file(MPS_SOURCE_DIR "/docs/mpsrdd.1");
  const std::string synopsis = section("SYNOPSIS", page);
  std::string described_commands, described_options;
  for (const item& i : items(section("COMMANDS", page))) described_commands += i.tag;
  for (const item& i : items(section("OPTIONS", page))) described_options += i.tag;
  for (const char* option : {"--help", "--version"}) {
    EXPECT_TRUE(names(synopsis, option)) << option;
    EXPECT_TRUE(names(described_options, option)) << option;
  }
  for (const command_spec& command : commands()) {
    SCOPED_TRACE(command.name);
    EXPECT_NE(synopsis.find(".B mpsrdd " + std::string(command.name) + "\n"), std::string::npos);
    EXPECT_NE(described_commands.find("\\fB" + std::string(command.name) + "\\fR"), std::string::npos);
    for (const option_spec& option : command.options) {
      EXPECT_TRUE(names(synopsis, option.name)) << option.name;
      EXPECT_TRUE(names(described_options, option.name)) << option.name;
    }
  }
}
