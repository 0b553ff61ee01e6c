#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdlib>

#include "messages/catalogue.h"
#include "messages/emit.h"
#include "util/process_exit.h"

enum { NO_INSTALLATION_STATUS = 255 };

void install_translators(QCoreApplication& app, const QStringList& prefixes) {
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
    msg_print(QStringLiteral("Fatal Error: directory doesn't exist '%1'\n").arg(info.filePath()), stderr);
    end_process(NO_INSTALLATION_STATUS);
  }
  const QString locale = QLocale::system().name();
  for (const QString& prefix : prefixes) {
    auto* translator = new QTranslator();
    if (translator->load(prefix + locale, directory))
      app.installTranslator(translator);
    else
      delete translator;
  }
}
