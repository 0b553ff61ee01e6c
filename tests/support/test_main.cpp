#include <gtest/gtest.h>

#include <QCoreApplication>

#include "messages/catalogue.h"
#include "support/process_trap.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  QCoreApplication app(argc, argv);
  fill_message_catalogue();
  set_exit_handler(throw_process_ended);
  return RUN_ALL_TESTS();
}
