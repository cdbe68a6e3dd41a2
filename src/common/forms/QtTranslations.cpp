#include "common/forms/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

namespace tarvel {

bool LoadQtTranslations() {
  static QTranslator* installed = nullptr;
  if (installed) return true;
  const QLocale taiwan(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan);
  QLocale::setDefault(taiwan);
  auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
  if (!translator->load(taiwan, QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    return false;
  installed = translator.release();  // owned by the application from here on
  QCoreApplication::installTranslator(installed);
  return true;
}

}  // namespace tarvel
