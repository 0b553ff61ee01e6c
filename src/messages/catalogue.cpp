#include "messages/catalogue.h"

#include "messages/catalogue_entries.h"

QMap<QString, QString> message_catalogue;
static int catalogue_filled = 0;

void fill_message_catalogue() {
  if (catalogue_filled) return;
  catalogue_filled = 1;
  for (int i = 0; i < catalogue_entry_count; ++i) {
    const catalogue_entry& entry = catalogue_entries[i];
    QByteArray comment = QByteArray("Error code is \"") + entry.code + '"';
    message_catalogue.insert(QString::fromLatin1(entry.code),
                             QCoreApplication::translate(entry.category, entry.text, comment.constData()));
  }
  for (int i = 0; i < untranslated_entry_count; ++i)
    message_catalogue.insert(QString::fromLatin1(untranslated_entries[i].code),
                             QString::fromLatin1(untranslated_entries[i].text));
}
