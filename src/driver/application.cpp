#include "driver/application.h"

#include <cstdlib>

#include "util/out_of_memory.h"

namespace {
const char NO_GLIB[] = "QT_NO_GLIB";
// putenv keeps this text itself: setenv's copy leaks when its own
// bookkeeping cannot allocate.
char no_glib_setting[] = "QT_NO_GLIB=1";

// Sets the variable Qt reads for the time the application is made, unless
// the user has set it.
class without_glib {
 public:
  without_glib() : set_here_(!getenv(NO_GLIB)) {
    if (set_here_ && putenv(no_glib_setting) != 0) out_of_memory();
  }
  ~without_glib() {
    if (set_here_) unsetenv(NO_GLIB);
  }
  without_glib(const without_glib&) = delete;
  without_glib& operator=(const without_glib&) = delete;

 private:
  bool set_here_;
};
}  // namespace

QCoreApplication make_application(int& argc, char** argv) {
  const without_glib choice;
  return QCoreApplication(argc, argv);
}
