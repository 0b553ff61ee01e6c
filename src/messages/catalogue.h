#pragma once

// The message catalogue: each code's text, translated once at start-up from
// the toolchain's translation files.

#include <QCoreApplication>
#include <QMap>
#include <QString>
#include <initializer_list>

// Code -> translated text, filled once before any message is emitted.
extern QMap<QString, QString> message_catalogue;

void fill_message_catalogue();

// Loads prefix + locale translation files from $VARNETDIR/lib/locale; a missing
// VARNETDIR or directory ends the run with status 255.
void install_translators(QCoreApplication& app, std::initializer_list<const char*> prefixes);
