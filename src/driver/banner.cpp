#include "driver/banner.h"

#include <QCoreApplication>
#include <cstdlib>

#include "messages/emit.h"
#include "util/checked.h"

static const char PRODUCT_TITLE[] = "MIRVA ProbeSuite";
static const char TOOL_TITLE[] = "System Testing Report Generator";
static const char VERSION_TEXT[] = "6.1.0.0.2.4";
static const char NOTICE_LINE[] = "Copyright (c) MIRVA ProbeSuite developers. All rights reserved.";

static QByteArray identity_text(const char* text) {
  return QCoreApplication::translate("VRNTIdent", text).toLocal8Bit();
}

void show_banner() {
  enum { BANNER_SIZE = 4096 };
  char* tool = static_cast<char*>(checked_malloc(BANNER_SIZE));
  checked_sprintf(tool, BANNER_SIZE, " %s %s", identity_text(TOOL_TITLE).constData(),
                  identity_text(VERSION_TEXT).constData());
  msg_info("STARTEXEC", QString::fromLocal8Bit(identity_text(PRODUCT_TITLE)), QString::fromLocal8Bit(tool));
  free(tool);
  msg_info("COPYRIGHT", QString::fromLocal8Bit(identity_text(NOTICE_LINE)), QString());
}

int end_of_run_summary(uint32_t incorrect_runs) {
  if (incorrect_runs == 0) {
    msg_info("ENDNOENWR", QString(), QString());
    return 0;
  }
  msg_info("ENDNOEWAR", QString(), QString::asprintf("%d", static_cast<int>(incorrect_runs)));
  return 3;
}
