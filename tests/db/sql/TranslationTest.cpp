// Each construct of Access SQL as both generators write it, reviewed once and kept as a golden
// table: a change to either generator shows as a diff of the construct it touches.
#include <gtest/gtest.h>

#include <QHash>

#include "db/sql/Catalog.h"
#include "db/sql/SqlError.h"
#include "db/sql/Translate.h"
#include "support/CaseFile.h"
#include "support/Golden.h"

namespace tarvel::db::sql {
namespace {

// The tables the cases read, as the data file declares them; no pivot values are read (the
// crosstabs list their columns).
class TableCatalog final : public Catalog {
 public:
  void Add(const QString& name, const QString& columns) {
    Relation relation;
    relation.name = name;
    relation.hasRowIdentity = true;
    for (const QString& column : columns.split(QStringLiteral(", "))) {
      const QStringList nameType = column.split(u' ');
      relation.columns.push_back({nameType[0], TypeFromSqliteDeclaration(nameType.value(1))});
    }
    relations_.insert(name.toLower(), std::move(relation));
  }
  const Relation* Find(const QString& name) override {
    const auto found = relations_.constFind(name.toLower());
    return found == relations_.cend() ? nullptr : &*found;
  }
  std::vector<Datum> PivotValues(const Query&) override { return {}; }

 private:
  QHash<QString, Relation> relations_;
};

QString Translated(const QString& accessSql, Engine engine, Catalog& catalog) {
  try {
    return Translate(accessSql, engine, &catalog, {Wildcards::Access}).sql;
  } catch (const SqlError& e) {
    return QStringLiteral("refused: ") + e.Description();
  }
}

TEST(AccessSqlTranslation, EveryConstructAsEachEngineGetsIt) {
  TableCatalog catalog;
  QString table;
  int constructs = 0;
  for (const QStringList& c : test::ReadCases(QStringLiteral("sql-translation.txt"))) {
    ASSERT_GE(c.size(), 2) << c.join(u'|').toStdString();
    if (c[0] == u"table") {
      catalog.Add(c[1], c.value(2));
      continue;
    }
    ++constructs;
    table += QStringLiteral("## ") + c[0] + QStringLiteral("\nAccess:     ") + c[1] +
             QStringLiteral("\nSQLite:     ") + Translated(c[1], Engine::Sqlite, catalog) +
             QStringLiteral("\nPostgreSQL: ") + Translated(c[1], Engine::Postgres, catalog) +
             QStringLiteral("\n\n");
  }
  EXPECT_GT(constructs, 40);
  test::ExpectGolden(QStringLiteral("sql-translation.txt"), table);
}

}  // namespace
}  // namespace tarvel::db::sql
