#include <QByteArray>
#include <QCoreApplication>
#include <QRegularExpression>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "cmdanalysis/cab_internal.h"
#include "util/terminal_text.h"

static const char* const error_texts[] = {
    QT_TRANSLATE_NOOP("CAB", "Arg value too small,"),
    QT_TRANSLATE_NOOP("CAB", "Arg value too large,"),
    QT_TRANSLATE_NOOP("CAB", "Arg length too small,"),
    QT_TRANSLATE_NOOP("CAB", "Arg length too large,"),
    QT_TRANSLATE_NOOP("CAB", "Too many arguments invalid argument,"),
    QT_TRANSLATE_NOOP("CAB", "List forbidden invalid argument,"),
    QT_TRANSLATE_NOOP("CAB", "Unknown option,"),
    QT_TRANSLATE_NOOP("CAB", "Invalid character following option,"),
    QT_TRANSLATE_NOOP("CAB", "An option can't be used twice,"),
    QT_TRANSLATE_NOOP("CAB", "Mandatory argument for this option,"),
    QT_TRANSLATE_NOOP("CAB", "No argument for this option,"),
    QT_TRANSLATE_NOOP("CAB", "List forbidden invalid option,"),
    QT_TRANSLATE_NOOP("CAB", "Argument missing,"),
    QT_TRANSLATE_NOOP("CAB", "Ambiguous option,"),
    QT_TRANSLATE_NOOP("CAB", "Unknown value of option,"),
    QT_TRANSLATE_NOOP("CAB", "Ambiguous value of option,"),
    QT_TRANSLATE_NOOP("CAB", "Illegal combination of command elements,"),
    QT_TRANSLATE_NOOP("CAB", "File not found"),
    QT_TRANSLATE_NOOP("CAB", "Command analysis: No memory left"),
    QT_TRANSLATE_NOOP("CAB", "Command analysis"),
    QT_TRANSLATE_NOOP("CAB", "Internal error, bad option name"),
};
static const char PRODUCT_TITLE[] = QT_TRANSLATE_NOOP("CAB", "MIRVA ProbeSuite");

static QString cab_text(const char* text) { return QCoreApplication::translate("CAB", text); }

static QString titled(cab_error_index index) {
  return QStringLiteral("%1 %2").arg(cab_text(PRODUCT_TITLE), cab_text(error_texts[index]));
}

// Qt 3 regular expressions let '.' match a newline too, and '*' is greedy:
// a hidden-option line takes every line after it down to the last newline.
static QByteArray shown_usage() {
  static const QRegularExpression hidden_lines(QStringLiteral("\t\\[-XT.*\n"),
                                               QRegularExpression::DotMatchesEverythingOption);
  const char* usage = active_command().usage[CAB_GB];
  if (!usage) return QByteArray();
  return QCoreApplication::translate("Command-line", usage).remove(hidden_lines).toLocal8Bit();
}

// The item is usually the user's own word: when no translation applies, its
// bytes are written as given, whatever their encoding, but for its control
// characters, shown escaped to keep the line one line and the terminal as
// it was.
static QByteArray shown_item(const char* item) {
  const QString translated = QCoreApplication::translate("Command-line", item);
  if (translated == QString::fromUtf8(item)) return QByteArray::fromStdString(terminal_safe(item));
  return translated.toLocal8Bit();
}

void cab_error(int index, const char* item) {
  QByteArray line = titled(CAB_TITLE).toLocal8Bit();
  line += " : ";
  line += cab_text(error_texts[index]).toLocal8Bit();
  if (item) {
    line += ' ';
    line += shown_item(item);
  }
  if (index <= CAB_ILLEGAL_COMBINATION) line += shown_usage();
  line += '\n';
  fprintf(stderr, "%s", line.constData());
}

int cab_fail(cab_error_index index, const char* item) {
  cab_error(index, item);
  return -1;
}

// Every block is chained from here, so that it stays reachable until the
// process ends and a test can release the blocks of its analysis.
union block_header {
  block_header* next;
  std::max_align_t alignment;
};
static block_header* allocated_blocks = nullptr;

void* (*cab_malloc)(size_t size) = malloc;

void* cab_alloc(size_t size) {
  if (size < 1) return nullptr;
  block_header* block = nullptr;
  if (size <= SIZE_MAX - sizeof(block_header))
    block = static_cast<block_header*>(cab_malloc(sizeof(block_header) + size));
  if (!block) {
    fprintf(stderr, "%s", titled(CAB_NO_MEMORY).toLocal8Bit().constData());
    return nullptr;
  }
  block->next = allocated_blocks;
  allocated_blocks = block;
  return block + 1;
}

void cab_release_blocks() {
  while (allocated_blocks) {
    block_header* next = allocated_blocks->next;
    free(allocated_blocks);
    allocated_blocks = next;
  }
}
