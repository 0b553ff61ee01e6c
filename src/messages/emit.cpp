#include "messages/emit.h"

#include <QRegularExpression>
#include <QtGlobal>

#include "messages/catalogue.h"
#include "util/process_exit.h"

enum { FATAL_STATUS = 7, SEVERE_STATUS = 9 };

static bool has_placeholder(const QString& text) {
  static const QRegularExpression placeholder(QStringLiteral("%L?[0-9]"));
  return text.contains(placeholder);
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

void msg_print(const QString& text, FILE* stream) {
  fprintf(stream, "%s", text.toLocal8Bit().constData());
}

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
  msg_emit(code, 'F', arg1, arg2);
  end_process(FATAL_STATUS);
}

void msg_severe(const char* code, const QString& arg1, const QString& arg2) {
  msg_emit(code, 'S', arg1, arg2);
  end_process(SEVERE_STATUS);
}

static void drop_qt_message(QtMsgType, const QMessageLogContext&, const QString&) {}

void silence_qt_messages() { qInstallMessageHandler(drop_qt_message); }
