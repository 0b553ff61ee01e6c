#include "cmdanalysis/cab.h"

static const char GB_USAGE[] =
    "\nUsage MPSMERGE:\n\t<TDC_and_RIO_files>[,TDC_and_RIO_files]\n\t[-RA=<TEST|ERR|RA>]\n"
    "\t[-VA=<EVAL|NOEVAL|COMBINE>]\n\t[-LE=<GB|FA|FR>]\n\t[-COMMENT|-NOCOMMENT]\n\t[-PORTRAIT]\n"
    "\t[-LANDSCAPE]\n\t[-NOLOG]\n\t[-LOG]\n\t[-NORO]\n\t[-SUMMARY|-NOSUMMARY]\n\t[-RDD=<file_name>]\n"
    "\t[-TIME]\n";
// Never shown: the analysis speaks GB.
static const char FR_USAGE[] =
    "\nUtilisation MPSMERGE:\n\t<fichiers_RIO_et_TDC>[,fichiers_RIO_et_TDC]\n\t[-RA=<TEST|ERR|RA>]\n"
    "\t[-VA=<EVAL|NOEVAL|COMBINE>]\n\t[-LE=<GB|FA|FR>]\n\t[-COMMENT|-NOCOMMENT]\n\t[-PORTRAIT]\n"
    "\t[-LANDSCAPE]\n\t[-NOLOG]\n\t[-LOG]\n\t[-NORO]\n\t[-SUMMARY|-NOSUMMARY]\n\t[-RDD=<nom_fichier>]\n"
    "\t[-TIME]\n";

// Fields: names FR/FA/GB, kind, list, min, max, optional, next, values.
static value_descriptor file_type = {
    {"fichiers_RIO_et_TDC", "fichiers_RIO_et_TDC", "TDC_and_RIO_files"}, 'C', 'Y', 1, 1024, 0, nullptr, nullptr};
static value_descriptor ra_type = {{"ra_type", "ra_type", "type_ra"}, 'C', 'N', 1, 6, 0, nullptr, nullptr};
static value_descriptor va_type = {{"va_type", "va_type", "type_va"}, 'C', 'N', 1, 8, 0, nullptr, nullptr};
static value_descriptor lng_type = {{"lng_type", "lng_type", "type_lng"}, 'C', 'N', 1, 2, 0, nullptr, nullptr};
static value_descriptor file_name_type = {
    {"nom_fichier", "nom_fichier", "file_name"}, 'C', 'N', 1, 1024, 0, nullptr, nullptr};

#define SAME_NAME(name) {name, name, name}

static allowed_value ra_values[] = {
    {SAME_NAME("RA"), 0, &ra_values[1]},
    {SAME_NAME("ERR"), 0, &ra_values[2]},
    {SAME_NAME("TEST"), 0, nullptr},
};
static allowed_value va_values[] = {
    {SAME_NAME("COMBINE"), 0, &va_values[1]},
    {SAME_NAME("NOEVAL"), 0, &va_values[2]},
    {SAME_NAME("EVAL"), 0, nullptr},
};
static allowed_value lng_values[] = {
    {SAME_NAME("FR"), 0, &lng_values[1]},
    {SAME_NAME("FA"), 0, &lng_values[2]},
    {SAME_NAME("GB"), 0, nullptr},
};

enum { RA, VA, LE, COMMENT, PORTRAIT, LANDSCAPE, NOLOG, LOG, NORO, SUMMARY, RDD, TIME, OPTION_COUNT };

// Fields: names, value mandatory, type, state, negatable, default on,
// default index, allowed values, next.
static option_entry options[OPTION_COUNT] = {
    {SAME_NAME("RA"), 1, &ra_type, 0, 0, 1, 1, ra_values, &options[VA]},
    {SAME_NAME("VA"), 1, &va_type, 0, 0, 1, 3, va_values, &options[LE]},
    {SAME_NAME("LE"), 1, &lng_type, 0, 0, 0, 1, lng_values, &options[COMMENT]},
    {SAME_NAME("COMMENT"), 0, nullptr, 0, 1, 1, 0, nullptr, &options[PORTRAIT]},
    {SAME_NAME("PORTRAIT"), 0, nullptr, 0, 0, 0, 0, nullptr, &options[LANDSCAPE]},
    {SAME_NAME("LANDSCAPE"), 0, nullptr, 0, 0, 0, 0, nullptr, &options[NOLOG]},
    {SAME_NAME("NOLOG"), 0, nullptr, 0, 0, 0, 0, nullptr, &options[LOG]},
    {SAME_NAME("LOG"), 0, nullptr, 0, 0, 0, 0, nullptr, &options[NORO]},
    {SAME_NAME("NORO"), 0, nullptr, 0, 0, 0, 0, nullptr, &options[SUMMARY]},
    {SAME_NAME("SUMMARY"), 0, nullptr, 0, 1, 0, 0, nullptr, &options[RDD]},
    {SAME_NAME("RDD"), 1, &file_name_type, 0, 0, 0, 0, nullptr, &options[TIME]},
    {SAME_NAME("TIME"), 0, nullptr, 0, 0, 0, 0, nullptr, nullptr},
};

static exclusion_rule rules[2];

void exclusion_rules_init() {
  rules[0] = {RULE_OPTION, &options[LOG], RULE_OPTION, &options[NOLOG], &rules[1]};
  rules[1] = {RULE_OPTION, &options[LANDSCAPE], RULE_OPTION, &options[PORTRAIT], nullptr};
  command_table.exclusions = rules;
}

command_description command_table = {
    CAB_GB, {FR_USAGE, FR_USAGE, GB_USAGE}, "MPSMERGE", '-', '=', ',', &file_type, options, nullptr};
