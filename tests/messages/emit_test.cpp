#include <gtest/gtest.h>

#include "messages/catalogue.h"
#include "messages/emit.h"
#include "support/process_trap.h"

TEST(MessageLine, FillsArgumentsIntoCatalogueText) {
  EXPECT_EQ(msg_line("FICNOTOPN", 'F', "a.rio", ""), "Varnet-F-FICNOTOPN,  File a.rio access problem\n");
  EXPECT_EQ(msg_line("UNEXPTEOF", 'F', "", ""), "Varnet-F-UNEXPTEOF,  Unexpected end of file\n");
  EXPECT_EQ(msg_line("ENDNOENWR", 'I', "", ""),
            "Varnet-I-ENDNOENWR,  End of execution without errors or warnings\n");
}

TEST(MessageLine, OnlySecondArgumentTakesTheLowestPlaceholder) {
  EXPECT_EQ(msg_line("ENDNOEWAR", 'I', "", "2"), "Varnet-I-ENDNOEWAR,  End of execution with 2 warning(s)\n");
  // "%1 %2 ..." with the second argument alone: it lands where %1 stood.
  EXPECT_EQ(msg_line("NOTRIGGER", 'W', "", "x"), "Varnet-W-NOTRIGGER,  x  is not an event variable\n");
}

TEST(MessageLine, PlaceholderPairsFromArgumentsAreRemoved) {
  EXPECT_EQ(msg_line("FICNOTOPN", 'F', "x%2.rio", ""), "Varnet-F-FICNOTOPN,  File x.rio access problem\n");
  EXPECT_EQ(msg_line("FICNOTOPN", 'F', "a%1b%3c%4", ""), "Varnet-F-FICNOTOPN,  File abc%4 access problem\n");
}

TEST(MessageLine, UnknownCodeIsThePrefixAlone) {
  EXPECT_EQ(msg_line("ERRINTERN", 'F', "", ""), "Varnet-F-ERRINTERN,  \n");
  EXPECT_EQ(msg_line("ERRINTERN", 'F', "ignored", "too"), "Varnet-F-ERRINTERN,  \n");
}

TEST(MessageLine, TextWithoutPlaceholderIgnoresArguments) {
  EXPECT_EQ(msg_line("NEEDRIOFI", 'F', "extra", ""),
            "Varnet-F-NEEDRIOFI,  At least one RIO file should be on the command line\n");
}

TEST(MessageSeverity, FatalAndSevereEndTheRunWithTheirStatus) {
  std::string written;
  EXPECT_EQ(run_to_end([] { msg_fatal("NEEDTDCFI", "", ""); }, &written), 7);
  EXPECT_EQ(written, "Varnet-F-NEEDTDCFI,  At least one TDC file should be on the command line\n");
  EXPECT_EQ(run_to_end([] { msg_severe("BADPARAMS", "", ""); }, &written), 9);
  EXPECT_EQ(written, "Varnet-S-BADPARAMS,  Incorrect parameters\n");
}

TEST(MessageSeverity, InformationAndWarningReturn) {
  testing::internal::CaptureStderr();
  msg_info("MSGENDPOS", "", "");
  msg_warning("NORIOFTDC", "p.tdc", "");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Varnet-I-MSGENDPOS,  Some scenarios are incorrect\n"
            "Varnet-W-NORIOFTDC,  No RIO file match this p.tdc TDC file\n");
}

TEST(Catalogue, HoldsEverySharedCodeAndIsFilledOnce) {
  QMap<QString, QString> before = message_catalogue;
  fill_message_catalogue();
  EXPECT_EQ(message_catalogue, before);
  EXPECT_TRUE(message_catalogue.contains("ENDERRNWR"));
  EXPECT_FALSE(message_catalogue.contains("ERRINTERN"));
  EXPECT_EQ(message_catalogue.value("ENDERRWAR"), "End of execution  with %1 error(s) and %2 warning(s)");
  EXPECT_EQ(message_catalogue.value("TRGNOTSTR"), "%1 %2 is not an structured type");
  // 249 shared codes plus the codes that guard this program's own limits.
  EXPECT_GE(message_catalogue.size(), 249);
}
