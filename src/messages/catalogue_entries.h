#pragma once

// The entries the catalogue is filled from: code, category (the translation
// context) and English text.

struct catalogue_entry {
  const char* code;
  const char* category;  // translation context; null for untranslated entries
  const char* text;      // English source text
};

extern const catalogue_entry catalogue_entries[];
extern const int catalogue_entry_count;
extern const catalogue_entry untranslated_entries[];
extern const int untranslated_entry_count;
