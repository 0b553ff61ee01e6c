#include <gtest/gtest.h>

#include <QProcess>
#include <algorithm>
#include <set>

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
_mpsmerge
printf '%s\n' "${COMPREPLY[@]}"
)";

struct completion {
  std::set<std::string> words;
  std::string options;  // what compopt was asked, e.g. "-o nospace"
};

completion complete(const std::string& line) {
  QProcess bash;
  bash.start("bash", {"--norc", "--noprofile", "-c", harness, "harness",
                      MPS_SOURCE_DIR "/packaging/mpsmerge.bash-completion", QString::fromStdString(line)});
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

TEST(BashCompletion, CompletesInTheCaseTheUserStartedIn) {
  EXPECT_EQ(complete("mpsmerge -r").words, (words{"-ra=", "-rdd="}));
  EXPECT_EQ(complete("mpsmerge -R").words, (words{"-RA=", "-RDD="}));
  EXPECT_EQ(complete("mpsmerge -noS").words, (words{"-noSUMMARY"}));
  EXPECT_EQ(complete("mpsmerge -Nos").words, (words{"-Nosummary"}));
  EXPECT_EQ(complete("mpsmerge -ra=").words, (words{"ra", "err", "test"}));
  EXPECT_EQ(complete("mpsmerge -RA=t").words, (words{"test"}));
  EXPECT_EQ(complete("mpsmerge -va=No").words, (words{"Noeval"}));
  EXPECT_EQ(complete("mpsmerge a.rio -LE=g").words, (words{"gb"}));
}

TEST(BashCompletion, TakesOptionNamesAsShortAsTheProgramDoes) {
  EXPECT_EQ(complete("mpsmerge -V=").words, (words{"EVAL", "NOEVAL", "COMBINE"}));
  EXPECT_EQ(complete("mpsmerge -l=F").words, (words{"FA", "FR"}));
  EXPECT_TRUE(complete("mpsmerge -R=").words.empty());  // RA or RDD
  EXPECT_TRUE(complete("mpsmerge -TIME=").words.empty());
  EXPECT_TRUE(complete("mpsmerge -X").words.empty());
}

TEST(BashCompletion, LeavesNoBlankAfterAnOptionThatWantsAValue) {
  const completion value = complete("mpsmerge -RD");
  EXPECT_EQ(value.words, (words{"-RDD="}));
  EXPECT_EQ(value.options, "-o nospace");
  const completion flag = complete("mpsmerge -ti");
  EXPECT_EQ(flag.words, (words{"-time"}));
  EXPECT_EQ(flag.options, "");
}

TEST(BashCompletion, OffersRioAndTdcFilesAsArgumentsAndAnyFileAfterRdd) {
  scratch_dir scratch;
  for (const char* name : {"A.RIO", "b.rio", "plan.Tdc", "notes.txt", "b.rod"}) write_file(name, "");
  ASSERT_TRUE(QDir().mkdir("runs"));
  const completion arguments = complete("mpsmerge ");
  EXPECT_EQ(arguments.words, (words{"A.RIO", "b.rio", "plan.Tdc", "runs"}));
  EXPECT_EQ(arguments.options, "-o filenames");
  EXPECT_EQ(complete("mpsmerge -TIME b").words, (words{"b.rio"}));
  EXPECT_EQ(complete("mpsmerge -RDD=").words, (words{"A.RIO", "b.rio", "b.rod", "notes.txt", "plan.Tdc", "runs"}));
  EXPECT_EQ(complete("mpsmerge -rd=n").words, (words{"notes.txt"}));
}
