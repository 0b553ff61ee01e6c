#include <QCoreApplication>
#include <QStringList>

#include "driver/banner.h"
#include "driver/run_state.h"
#include "messages/catalogue.h"
#include "messages/emit.h"
#include "util/environment.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  silence_qt_messages();
  install_translators(app, {QStringLiteral("mps_"), QStringLiteral("vrntident_"), QStringLiteral("cab_")});
  fill_message_catalogue();
  incorrect_run_count = 0;

  env_copy("MPS_DIR", mps_dir_value, sizeof mps_dir_value);

  show_banner();
  start_date = current_time_text();

  return end_of_run_summary();
}
