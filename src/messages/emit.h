#pragma once

// Every message the user sees: one coded line on standard error,
// "Varnet-<letter>-<code>,  <text>". Fatal ends the run with status 7,
// severe with 9; information and warnings return.

#include <QString>
#include <cstdio>

void msg_info(const char* code, const QString& arg1, const QString& arg2);
void msg_warning(const char* code, const QString& arg1, const QString& arg2);
[[noreturn]] void msg_fatal(const char* code, const QString& arg1, const QString& arg2);
[[noreturn]] void msg_severe(const char* code, const QString& arg1, const QString& arg2);

void msg_emit(const char* code, char letter, const QString& arg1, const QString& arg2);

// The line msg_emit writes, without writing it.
QString msg_line(const char* code, char letter, const QString& arg1, const QString& arg2);

// Writes text in the local 8-bit encoding, no newline added; the bytes of
// names given through name_arg come out as they were.
void msg_print(const QString& text, FILE* stream);

// A file name (or any bytes) as a message argument: the bytes that are not
// UTF-8 ride along escaped, so that the message line carries the name byte
// for byte, but for its control characters (see terminal_safe).
QString name_arg(const char* bytes);

// Fills the lowest-numbered placeholder (%1 to %99) still in text with
// argument, as QString::arg does, but leaves a text without placeholder
// unchanged instead of warning on standard error.
QString fill_placeholder(const QString& text, const QString& argument);

// Qt's own diagnostics (such as QString::arg warnings) are not part of this
// program's standard error; they are dropped for the whole process.
void silence_qt_messages();
