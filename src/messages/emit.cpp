#include "messages/emit.h"

#include <QtGlobal>

#include "messages/catalogue.h"
#include "util/terminal_text.h"
#include "util/process_exit.h"
#include "util/run_ending.h"

enum { FATAL_STATUS = 7, SEVERE_STATUS = 9 };

// "%", an optional "L", a digit. Not a regular expression: its engine
// answers "no match" when it cannot allocate.
static bool has_placeholder(const QString& text) {
  for (qsizetype i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != u'%') continue;
    const qsizetype digit = text[i + 1] == u'L' && i + 2 < text.size() ? i + 2 : i + 1;
    if (text[digit] >= u'0' && text[digit] <= u'9') return true;
  }
  return false;
}

QString fill_placeholder(const QString& text, const QString& argument) {
  return has_placeholder(text) ? text.arg(argument) : text;
}

QString msg_line(const char* code, char letter, const QString& arg1, const QString& arg2) {
  QString line = fill_placeholder(fill_placeholder(QStringLiteral("Varnet-%1-%2,  "), QString(QChar(letter))),
                                  QString::fromLatin1(code));
  auto entry = message_catalogue.constFind(QString::fromLatin1(code));
  if (entry != message_catalogue.constEnd()) {
    QString text = *entry;
    if (!arg1.isEmpty()) text = fill_placeholder(text, arg1);
    if (!arg2.isEmpty()) text = fill_placeholder(text, arg2);
    line += text;
  }
  line += QLatin1Char('\n');
  line.remove(QStringLiteral("%1"));
  line.remove(QStringLiteral("%2"));
  line.remove(QStringLiteral("%3"));
  return line;
}

// A byte that does not begin a well-formed UTF-8 sequence travels as a lone
// low surrogate, U+DC80 to U+DCFF, which no decoded text holds.
enum : char16_t { ESCAPED_BYTE = 0xDC00, FIRST_ESCAPE = 0xDC80, LAST_ESCAPE = 0xDCFF };

QString name_arg(const char* bytes) {
  const std::string shown = terminal_safe(bytes);
  const auto* text = reinterpret_cast<const unsigned char*>(shown.data());
  QString argument;
  for (size_t at = 0; at < shown.size();) {
    const int length = utf8_sequence_length(text + at, shown.size() - at);
    if (length) argument += QString::fromUtf8(shown.data() + at, length);
    else argument += QChar(static_cast<char16_t>(ESCAPED_BYTE + text[at]));
    at += length ? length : 1;
  }
  return argument;
}

static QByteArray message_bytes(const QString& text) {
  QByteArray bytes;
  qsizetype start = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i].unicode();
    if (unit < FIRST_ESCAPE || unit > LAST_ESCAPE || (i && text[i - 1].isHighSurrogate())) continue;
    bytes += text.mid(start, i - start).toLocal8Bit();
    bytes += static_cast<char>(unit - ESCAPED_BYTE);
    start = i + 1;
  }
  bytes += text.mid(start).toLocal8Bit();
  return bytes;
}

void msg_print(const QString& text, FILE* stream) { fprintf(stream, "%s", message_bytes(text).constData()); }

void msg_emit(const char* code, char letter, const QString& arg1, const QString& arg2) {
  msg_print(msg_line(code, letter, arg1, arg2), stderr);
}

void msg_info(const char* code, const QString& arg1, const QString& arg2) {
  msg_emit(code, 'I', arg1, arg2);
}

void msg_warning(const char* code, const QString& arg1, const QString& arg2) {
  msg_emit(code, 'W', arg1, arg2);
}

void msg_fatal(const char* code, const QString& arg1, const QString& arg2) {
  defer_on_worker([=] { msg_fatal(code, arg1, arg2); });
  msg_emit(code, 'F', arg1, arg2);
  end_process(FATAL_STATUS);
}

void msg_severe(const char* code, const QString& arg1, const QString& arg2) {
  defer_on_worker([=] { msg_severe(code, arg1, arg2); });
  msg_emit(code, 'S', arg1, arg2);
  end_process(SEVERE_STATUS);
}

static void drop_qt_message(QtMsgType, const QMessageLogContext&, const QString&) {}

void silence_qt_messages() { qInstallMessageHandler(drop_qt_message); }
