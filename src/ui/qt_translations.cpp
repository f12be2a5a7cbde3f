#include "ui/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QStringList>
#include <QTranslator>

namespace quintrel {

bool InstallQtTranslations(QCoreApplication& application) {
  const QStringList folders{
      QLibraryInfo::path(QLibraryInfo::TranslationsPath),
      QCoreApplication::applicationDirPath() + QStringLiteral("/translations")};
  for (const QString& folder : folders) {
    // Owned by the application, which keeps it installed for its whole life.
    auto* translator = new QTranslator(&application);
    if (translator->load(QStringLiteral("qtbase_ja"), folder)) {
      QCoreApplication::installTranslator(translator);
      return true;
    }
    delete translator;
  }
  return false;
}

}  // namespace quintrel
