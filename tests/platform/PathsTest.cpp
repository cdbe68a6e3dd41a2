#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include "platform/Paths.h"
#include "support/CaseFile.h"
#include "support/TempDir.h"

namespace tarvel {
namespace {

// Restores the current folder after a test that changes it.
class CurrentFolder {
 public:
  explicit CurrentFolder(const QString& path) : previous_(QDir::currentPath()) {
    QDir::setCurrent(path);
  }
  ~CurrentFolder() { QDir::setCurrent(previous_); }

 private:
  QString previous_;
};

TEST(Paths, LocalSyntaxOfWindowsForms) {
  for (const QStringList& c : test::ReadCases(QStringLiteral("local-path-syntax.txt")))
    EXPECT_EQ(LocalPathSyntax(c[0]), c[1]) << c[0].toStdString();
}

TEST(Paths, ResolvesEachComponentCaseInsensitively) {
  test::TempDir dir;
  const QString file = dir.Write(QStringLiteral("erp/資料/korv.mdb"), "x");
  dir.Write(QStringLiteral("erp/Ärger/ωmega.txt"), "x");
  const QString root = dir.Path();

  const struct {
    QString input;
    std::optional<QString> expected;
  } cases[] = {
      {root + QStringLiteral("/erp/資料/korv.mdb"), file},
      {root + QStringLiteral("/ERP/資料/KORV.MDB"), file},
      {QString(root).replace(u'/', u'\\') + QStringLiteral("\\Erp\\資料\\Korv.Mdb"), file},
      {root + QStringLiteral("//ERP///資料/./KORV.MDB"), file},
      {root + QStringLiteral("/ERP/nothing/../資料/KORV.MDB"), file},
      // Unicode-aware folding, not only ASCII.
      {root + QStringLiteral("/ERP/ÄRGER/ΩMEGA.TXT"),
       root + QStringLiteral("/erp/Ärger/ωmega.txt")},
      {root + QStringLiteral("/ERP/資料/KORV.MDX"), std::nullopt},
      {root + QStringLiteral("/NOPE/資料/KORV.MDB"), std::nullopt},
      {QString(), std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ResolveExistingPath(c.input), c.expected) << c.input.toStdString();
  }
}

TEST(Paths, RelativePathsStartAtTheCurrentFolder) {
  test::TempDir dir;
  const QString file = dir.Write(QStringLiteral("data/korv.mdb"), "x");
  CurrentFolder here(dir.Path() + QStringLiteral("/data"));
  EXPECT_EQ(ResolveExistingPath(QStringLiteral("KORV.MDB")), QFileInfo(file).absoluteFilePath());
  EXPECT_EQ(ResolveExistingPath(QStringLiteral("..\\DATA\\KORV.MDB")),
            QFileInfo(file).absoluteFilePath());
}

TEST(Paths, SeveralCaseVariantsPickTheFirstInCodePointOrder) {
  test::TempDir dir;
  dir.Write(QStringLiteral("korv.mdb"), "lower");
  dir.Write(QStringLiteral("Korv.mdb"), "mixed");
  EXPECT_EQ(ResolveExistingPath(dir.Path() + QStringLiteral("/KORV.MDB")),
            dir.Path() + QStringLiteral("/Korv.mdb"));
  EXPECT_EQ(ResolveExistingPath(dir.Path() + QStringLiteral("/korv.mdb")),
            dir.Path() + QStringLiteral("/korv.mdb"));
}

TEST(Paths, ForCreateResolvesTheFolderAndKeepsTheName) {
  test::TempDir dir;
  dir.Write(QStringLiteral("temp/existing.txt"), "");
  const QString root = dir.Path();
  EXPECT_EQ(ResolveForCreate(root + QStringLiteral("\\TEMP\\KORV.TXT")),
            root + QStringLiteral("/temp/KORV.TXT"));
  // An existing file of another case is rewritten rather than twinned.
  EXPECT_EQ(ResolveForCreate(root + QStringLiteral("/TEMP/EXISTING.TXT")),
            root + QStringLiteral("/temp/existing.txt"));
  // A folder that does not exist: the path as written, and creating it fails normally.
  EXPECT_EQ(ResolveForCreate(root + QStringLiteral("\\MISSING\\KORV.TXT")),
            root + QStringLiteral("/MISSING/KORV.TXT"));
}

}  // namespace
}  // namespace tarvel
