#pragma once

// The record printer: cells back in report line syntax.

#include "report/objet.h"

// Writes cell on the stream held by out in report line syntax: every atom
// followed by one blank, numbers in quotes, a newline after each chain.
// Write errors are left in the stream's error flag for the caller.
void pt_ecrit(objet* out, objet* cell);
