#include "report/report_errors.h"

#include "messages/emit.h"

void unexpected_end_of_report() { msg_fatal("UNEXPTEOF", QString(), QString()); }

void internal_report_error() { msg_fatal("ERRINTERN", QString(), QString()); }
