#pragma once

#include <vector>

#include "report/objet.h"

// Inserts the items one after the other into list, each as insert_by_time
// would, without walking the list once per item; returns the new head.
// An item without order key ends the run with "UNEXPTEOF". The last node
// goes to *tail when asked for.
objet* insert_all_by_time(objet* list, const std::vector<objet*>& items, objet** tail = nullptr);
