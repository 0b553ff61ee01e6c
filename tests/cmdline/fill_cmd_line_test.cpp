#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTranslator>

#include "cmdline/program_command.h"
#include "support/process_trap.h"

using program::analyse;

TEST(FillCmdLine, FilesTimeAndDestination) {
  ASSERT_EQ(analyse({"a.rio,b\\,c.tdc", "-TIME", "d.rio", "-RDD=out\\,x.rdd"}), 1);
  fill_cmd_line();
  EXPECT_STREQ(cmd_line.files[0], "a.rio");
  EXPECT_STREQ(cmd_line.files[1], "b,c.tdc");
  EXPECT_STREQ(cmd_line.files[2], "d.rio");
  EXPECT_EQ(cmd_line.files[3], nullptr);
  EXPECT_EQ(time_option(cmd_line), 1);
  EXPECT_STREQ(dest_option(cmd_line), "out,x.rdd");

  ASSERT_EQ(analyse({"a.rio"}), 1);
  fill_cmd_line();
  EXPECT_EQ(cmd_line.files[1], nullptr);
  EXPECT_EQ(time_option(cmd_line), 0);
  EXPECT_EQ(cmd_line.dest_given, 0);
  EXPECT_EQ(dest_option(cmd_line), nullptr);
}

static std::vector<std::string> file_words(int count) {
  std::vector<std::string> words;
  for (int n = 0; n < count; ++n) words.push_back("f" + std::to_string(n) + ".rio");
  return words;
}

TEST(FillCmdLine, AtMostOneThousandFiles) {
  ASSERT_EQ(analyse(file_words(MAX_FILES)), 1);
  fill_cmd_line();
  EXPECT_STREQ(cmd_line.files[MAX_FILES - 1], "f999.rio");

  std::vector<std::string> words = file_words(MAX_FILES);
  words.back() += ",last.tdc";  // the 1001st file hides in a list
  ASSERT_EQ(analyse(words), 1);
  std::string error;
  EXPECT_EQ(run_to_end([] { fill_cmd_line(); }, &error), 7);
  EXPECT_EQ(error, "Varnet-F-TOOMANYFI,  Too many RIO and/or TDC files on the command line\n");
}

TEST(CabTranslation, FrenchErrorLine) {
  QTranslator french;
  ASSERT_TRUE(french.load(QStringLiteral("cab_fr"), QStringLiteral(MPS_BUILD_DIR "/varnet/lib/locale")));
  QCoreApplication::installTranslator(&french);
  std::string missing, excluded;
  analyse({}, &missing);
  analyse({"-LOG", "-NOLOG", "a"}, &excluded);
  QCoreApplication::removeTranslator(&french);
  const std::string usage =
      "\nUtilisation MPSMERGE:\n\t<fichiers_RIO_et_TDC>[,fichiers_RIO_et_TDC]\n\t[-RA=<TEST|ERR|RA>]\n"
      "\t[-VA=<EVAL|NOEVAL|COMBINE>]\n\t[-LE=<GB|FA|FR>]\n\t[-COMMENT|-NOCOMMENT]\n\t[-PORTRAIT]\n"
      "\t[-LANDSCAPE]\n\t[-NOLOG]\n\t[-LOG]\n\t[-NORO]\n\t[-SUMMARY|-NOSUMMARY]\n\t[-RDD=<nom_fichier>]\n"
      "\t[-TIME]\n";
  EXPECT_EQ(missing, "MIRVA ProbeSuite Analyse de commande : Argument manquant, fichiers_RIO_et_TDC" + usage + "\n");
  EXPECT_EQ(excluded, "MIRVA ProbeSuite Analyse de commande : Combinaison ill\xc3\xa9gale d'\xc3\xa9l\xc3\xa9ments "
                      "de commande, LOG et NOLOG" + usage + "\n");
}
