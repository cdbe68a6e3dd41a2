#include "reports/engine/ReportFonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QHash>

namespace tarvel {

namespace {

const QString kMing = QStringLiteral("AR PL UMing TW");
const QString kKai = QStringLiteral("AR PL UKai TW");

struct FaceFile {
  const char* path;
  const QString* family;
};

}  // namespace

bool LoadReportFonts() {
  static const bool loaded = [] {
    const FaceFile files[] = {{"/usr/share/fonts/truetype/arphic/uming.ttc", &kMing},
                              {"/usr/share/fonts/truetype/arphic/ukai.ttc", &kKai}};
    bool all = true;
    for (const FaceFile& file : files) {
      const QString path = QString::fromLatin1(file.path);
      const int id = QFile::exists(path) ? QFontDatabase::addApplicationFont(path) : -1;
      all = all && id >= 0 && QFontDatabase::applicationFontFamilies(id).contains(*file.family);
    }
    return all;
  }();
  return loaded;
}

QString ResolveFontFamily(const QString& layoutFamily) {
  static const QHash<QString, QString> standIns = {
      {QStringLiteral("新細明體"), kMing}, {QStringLiteral("細明體"), kMing},
      {QStringLiteral("新细明体"), kMing}, {QStringLiteral("PMingLiU"), kMing},
      {QStringLiteral("MingLiU"), kMing},  {QStringLiteral("標楷體"), kKai},
      {QStringLiteral("标楷体"), kKai},    {QStringLiteral("DFKai-SB"), kKai},
  };
  return standIns.value(layoutFamily.trimmed(), layoutFamily);
}

QFont ResolveFont(const FontSpec& spec) {
  LoadReportFonts();
  QFont font;
  font.setFamilies({ResolveFontFamily(spec.family)});
  font.setPointSizeF(spec.pointSize > 0 ? spec.pointSize : 9);
  font.setBold(spec.bold);
  font.setItalic(spec.italic);
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

}  // namespace tarvel
