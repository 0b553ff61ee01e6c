#pragma once

// A report whose shape breaks the report rules ends the run here.
[[noreturn]] void unexpected_end_of_report();
[[noreturn]] void internal_report_error();
