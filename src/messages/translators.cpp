#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTranslator>
#include <cstdlib>

#include "messages/catalogue.h"
#include "messages/emit.h"
#include "util/process_exit.h"

enum { NO_INSTALLATION_STATUS = 255 };

// The toolchain chooses its language from LANG alone (for example
// fr_FR.UTF-8, which the translator load cuts back to fr_FR and fr): the
// LC_ variables, which Qt's own locale lookup prefers, do not count.
static QString locale_name() {
  const char* lang = getenv("LANG");
  return lang && *lang ? QString::fromLocal8Bit(lang) : QStringLiteral("C");
}

void install_translators(QCoreApplication& app, std::initializer_list<const char*> prefixes) {
  const char* varnetdir = getenv("VARNETDIR");
  if (!varnetdir || !*varnetdir) {
    msg_print(QStringLiteral("Fatal Error: please setup VARNETDIR environment variable.\n"), stderr);
    end_process(NO_INSTALLATION_STATUS);
  }
  const QString separator = QDir::separator();
  const QString directory = QString::fromLocal8Bit(varnetdir) + separator + QStringLiteral("lib") +
                            separator + QStringLiteral("locale");
  QFileInfo info(directory);
  if (!info.isDir()) {
    msg_print(QStringLiteral("Fatal Error: directory doesn't exist '%1'\n").arg(name_arg(QFile::encodeName(info.filePath()).constData())), stderr);
    end_process(NO_INSTALLATION_STATUS);
  }
  const QString locale = locale_name();
  for (const char* prefix : prefixes) {
    auto* translator = new QTranslator();
    if (translator->load(QLatin1String(prefix) + locale, directory))
      app.installTranslator(translator);
    else
      delete translator;
  }
}
