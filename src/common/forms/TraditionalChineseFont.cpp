#include "common/forms/TraditionalChineseFont.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>

namespace tarvel {
namespace {

bool HasHan(const QString& family) {
  const QList<QFontDatabase::WritingSystem> systems = QFontDatabase::writingSystems(family);
  return systems.contains(QFontDatabase::TraditionalChinese) ||
         systems.contains(QFontDatabase::SimplifiedChinese) ||
         systems.contains(QFontDatabase::Japanese);
}

}  // namespace

QStringList TraditionalChineseFaces() {
  return {QStringLiteral("Noto Sans CJK TC"), QStringLiteral("AR PL UMing TW")};
}

QFont TraditionalChineseFont(const QFont& desktop) {
  QString traditional;
  for (const QString& face : TraditionalChineseFaces()) {
    if (QFontDatabase::hasFamily(face)) {
      traditional = face;
      break;
    }
  }
  if (traditional.isEmpty()) return desktop;
  // Left alone, fontconfig's fallback for a character the desktop's face lacks picks any Han
  // face, often a mainland one, whose forms of shared characters differ from Taiwan's.
  // The face the desktop's family resolves to: an alias ("Sans Serif") is resolved only when no
  // family of the list is installed, so followed by the Traditional face it would lose to it.
  const QString face = QFontInfo(desktop).family();
  QStringList families;
  if (face == traditional || HasHan(face))
    families = {traditional, face};
  else
    families = {face, traditional};
  families.removeDuplicates();
  QFont font = desktop;
  font.setFamilies(families);
  return font;
}

void UseTraditionalChineseFont() {
  QApplication::setFont(TraditionalChineseFont(QApplication::font()));
}

}  // namespace tarvel
