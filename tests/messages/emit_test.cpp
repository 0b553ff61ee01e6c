#include <gtest/gtest.h>

#include "messages/catalogue.h"
#include "messages/emit.h"
#include "support/process_trap.h"

TEST(MessageLine, FillsCatalogueTexts) {
  const struct {
    const char *code, *first, *second, *line;
  } cases[] = {
      {"FICNOTOPN", "a.rio", "", "Varnet-F-FICNOTOPN,  File a.rio access problem\n"},
      {"ENDNOENWR", "", "", "Varnet-I-ENDNOENWR,  End of execution without errors or warnings\n"},
      // The second argument alone takes the lowest placeholder.
      {"ENDNOEWAR", "", "2", "Varnet-I-ENDNOEWAR,  End of execution with 2 warning(s)\n"},
      {"NOTRIGGER", "", "x", "Varnet-W-NOTRIGGER,  x  is not an event variable\n"},
      // Placeholder pairs coming from the arguments are removed.
      {"FICNOTOPN", "x%2.rio", "", "Varnet-F-FICNOTOPN,  File x.rio access problem\n"},
      {"FICNOTOPN", "a%1b%3c%4", "", "Varnet-F-FICNOTOPN,  File abc%4 access problem\n"},
      // An unknown code is the prefix alone.
      {"ERRINTERN", "ignored", "too", "Varnet-F-ERRINTERN,  \n"},
      {"NEEDRIOFI", "extra", "", "Varnet-F-NEEDRIOFI,  At least one RIO file should be on the command line\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(msg_line(c.code, c.line[7], c.first, c.second), c.line) << c.code;
}

TEST(MessageSeverity, FatalAndSevereEndTheRunWithTheirStatus) {
  expect_fatal([] { msg_fatal("NEEDTDCFI", "", ""); },
               "Varnet-F-NEEDTDCFI,  At least one TDC file should be on the command line\n");
  std::string written;
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

// Names are bytes: those that are not UTF-8 come out of the message line as
// they went in, and so does every well-formed character around them.
TEST(MessageLine, NamesKeepTheirBytes) {
  const char* names[] = {"cab\xffin.rio", "\xc3\xa9t\xc3\xa9.rio", "\xf0\x90\x82\x80.rio", "\xed\xb2\x80.rio",
                         "\xc3", "a\xe2\x82", "\xf4\x90\x80\x80", "\xc0\xaf", "plain.rio"};
  for (const char* name : names) {
    testing::internal::CaptureStderr();
    msg_print(msg_line("FICNOTOPN", 'F', name_arg(name), QString()), stderr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              std::string("Varnet-F-FICNOTOPN,  File ") + name + " access problem\n");
  }
}

// A name cannot steer the terminal or split its message line.
TEST(MessageLine, NamesShowTheirControlCharactersEscaped) {
  const struct {
    const char *name, *shown;
  } cases[] = {
      {"x\x1b[1A\x1b[2Ky.rio", "x\\x1b[1A\\x1b[2Ky.rio"},
      {"ca\rb\nin\t\x7f.rio", "ca\\rb\\nin\\t\\x7f.rio"},
      {"\xc2\x9b" "2K\xff.rio", "\\u009b" "2K\xff.rio"},
  };
  for (const auto& c : cases) {
    testing::internal::CaptureStderr();
    msg_print(msg_line("FICNOTOPN", 'F', name_arg(c.name), QString()), stderr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              std::string("Varnet-F-FICNOTOPN,  File ") + c.shown + " access problem\n");
  }
}
