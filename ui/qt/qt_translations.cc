#include "ui/qt/qt_translations.h"

#include <QLibraryInfo>
#include <QLocale>

namespace zelkor {

QTranslator* InstallChineseQtTranslations(QCoreApplication& app) {
  // "qt" is the catalogue that pulls in qtbase and the other modules' texts.
  auto* translator = new QTranslator(&app);
  if (!translator->load(QLocale(QLocale::Chinese, QLocale::China), "qt", "_",
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return nullptr;
  }
  QCoreApplication::installTranslator(translator);
  return translator;
}

}  // namespace zelkor
