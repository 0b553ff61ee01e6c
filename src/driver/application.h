#pragma once

#include <QCoreApplication>

// The run's application object, made with Qt's own event dispatcher instead
// of GLib's: GLib ends the process (abort) when an allocation fails, and a run
// has no event loop. The environment the programs of the run get is left as
// it was.
QCoreApplication make_application(int& argc, char** argv);
