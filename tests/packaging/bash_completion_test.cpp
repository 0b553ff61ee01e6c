#include <gtest/gtest.h>

#include <QProcess>
#include <algorithm>
#include <set>

#include "commands.h"
#include "packaging/table_options.h"
#include "support/scratch_dir.h"

namespace {

// Drives the completion as bash does when Tab is pressed at the end of line:
// the words split at blanks and at "=" (a word-break character of bash), the
// last one, empty after a blank, being completed. compopt only works inside a
// real completion, so it reports its options on standard error instead.
const char harness[] = R"(
compopt() { echo "$*" >&2; }
source "$1"
line=$2
read -ra COMP_WORDS <<<"${line//=/ = }"
[[ $line == *' ' ]] && COMP_WORDS+=('')
COMP_LINE=$line COMP_POINT=${#line} COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
"_${COMP_WORDS[0]}"
printf '%s\n' "${COMPREPLY[@]}"
)";

struct completion {
  std::set<std::string> words;
  std::string options;  // what compopt was asked, e.g. "-o nospace"
};

// The line's first word names the program, and its completion file.
completion complete(const std::string& line) {
  QProcess bash;
  const std::string program = line.substr(0, line.find(' '));
  bash.start("bash", {"--norc", "--noprofile", "-c", harness, "harness",
                      QString::fromStdString(MPS_SOURCE_DIR "/packaging/" + program + ".bash-completion"),
                      QString::fromStdString(line)});
  EXPECT_TRUE(bash.waitForFinished(20000));
  EXPECT_EQ(bash.exitCode(), 0);
  completion result;
  for (const QByteArray& word : bash.readAllStandardOutput().split('\n'))
    if (!word.isEmpty()) result.words.insert(word.toStdString());
  result.options = bash.readAllStandardError().trimmed().toStdString();
  return result;
}

using words = std::set<std::string>;

}  // namespace

TEST(BashCompletion, OffersEveryOptionOfTheCommandTableAndNoOther) {
  words expected;
  for (const table_option& option : table_options()) {
    expected.insert(option.name + (option.takes_value ? "=" : ""));
    if (!option.negated.empty()) expected.insert(option.negated);
  }
  EXPECT_EQ(complete("mpsmerge -").words, expected);
}

TEST(BashCompletion, OffersTheAllowedValuesOfEveryOptionOfTheCommandTable) {
  for (const table_option& option : table_options()) {
    if (option.values.empty()) continue;
    SCOPED_TRACE(option.name);
    EXPECT_EQ(complete("mpsmerge " + option.name + "=").words, words(option.values.begin(), option.values.end()));
  }
}

// In the case the user started in, with names and values as short as the
// program takes them; a lone name that wants a value gets no blank after it.
// Arguments are RIO and TDC files and folders, any file after -RDD= or -o;
// mpsrdd's reports are RDD files.
TEST(BashCompletion, CompletesAsTheProgramsReadTheWords) {
  scratch_dir scratch;
  for (const char* name : {"A.RIO", "b.rio", "plan.Tdc", "notes.txt", "b.rod", "a.rdd", "B.RDD"}) write_file(name, "");
  ASSERT_TRUE(QDir().mkdir("runs"));
  const words any_file = {"A.RIO", "b.rio", "plan.Tdc", "notes.txt", "b.rod", "a.rdd", "B.RDD", "runs"};
  const struct {
    const char* line;
    words expected;
    const char* options;
  } cases[] = {
      {"mpsmerge -r", {"-ra=", "-rdd="}, ""},           {"mpsmerge -R", {"-RA=", "-RDD="}, ""},
      {"mpsmerge -RD", {"-RDD="}, "-o nospace"},         {"mpsmerge -noS", {"-noSUMMARY"}, ""},
      {"mpsmerge -Nos", {"-Nosummary"}, ""},             {"mpsmerge -ti", {"-time"}, ""},
      {"mpsmerge -ra=", {"ra", "err", "test"}, ""},      {"mpsmerge -RA=t", {"test"}, ""},
      {"mpsmerge -va=No", {"Noeval"}, ""},               {"mpsmerge a.rio -LE=g", {"gb"}, ""},
      {"mpsmerge -V=", {"EVAL", "NOEVAL", "COMBINE"}, ""}, {"mpsmerge -l=F", {"FA", "FR"}, ""},
      {"mpsmerge -R=", {}, ""} /* RA or RDD */,          {"mpsmerge -TIME=", {}, ""},
      {"mpsmerge -X", {}, ""},
      {"mpsmerge ", {"A.RIO", "b.rio", "plan.Tdc", "runs"}, "-o filenames"},
      {"mpsmerge -TIME b", {"b.rio"}, "-o filenames"},
      {"mpsmerge -RDD=", any_file, "-o filenames"},
      {"mpsmerge -rd=n", {"notes.txt"}, "-o filenames"},
      {"mpsrdd ", {"page", "junit", "compare", "summary", "trace", "--help", "--version"}, ""},
      {"mpsrdd c", {"compare"}, ""},
      {"mpsrdd page ", {"a.rdd", "B.RDD", "runs"}, "-o filenames"},
      {"mpsrdd compare a.rdd ", {"a.rdd", "B.RDD", "runs"}, "-o filenames"},
      {"mpsrdd summary a.rdd --f", {"--fail-on="}, "-o nospace"},
      {"mpsrdd compare a.rdd b.rdd --h", {"--html", "--help"}, ""},
      {"mpsrdd summary a.rdd --fail-on=i", {"inconclusive"}, ""},
      {"mpsrdd junit a.rdd --fail-on=", {"failed", "inconclusive", "never"}, ""},
      {"mpsrdd page a.rdd -o n", {"notes.txt"}, "-o filenames"},
      {"mpsrdd draw ", {}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const completion result = complete(c.line);
    EXPECT_EQ(result.words, c.expected);
    EXPECT_EQ(result.options, c.options);
  }
}

// mpsrdd's completion offers its command table: the commands, and each
// command's options (a value joined with "=" after its name).
TEST(BashCompletion, OffersMpsrddsCommandTable) {
  words names = {"--help", "--version"};
  for (const command_spec& command : commands()) {
    names.insert(command.name);
    words options = {"--help"};
    for (const option_spec& option : command.options)
      options.insert(std::string(option.name) + (option.kind == option_kind::joined_value ? "=" : ""));
    EXPECT_EQ(complete(std::string("mpsrdd ") + command.name + " a.rdd -").words, options) << command.name;
  }
  EXPECT_EQ(complete("mpsrdd ").words, names);
}
