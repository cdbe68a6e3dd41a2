#include "demo/ProgramNeeds.h"

#include "db/Connection.h"
#include "db/sql/Catalog.h"
#include "demo/DemoDatabase.h"

namespace tarvel::demo {
namespace {

/// The tables the demo builds its report sources from; a site's file has the sources themselves.
const QStringList kDemoBaseTables = {"工單主檔", "工單製程", "合版明細",      "PLATE",
                                     "刀模",     "重工",     "工單產品入庫數"};
/// Written by the program (the running-window registry), never read from a Jet file.
const QStringList kWrittenOnly = {"SYSUSER1"};

}  // namespace

std::vector<NeededRelation> ProgramNeeds() {
  auto demo = db::Connection::OpenFile(QStringLiteral(":memory:"), true);
  demo->ExecuteScript(DemoSchemaText());
  db::Recordset objects = demo->ReadNative(
      "select name from sqlite_schema where type in ('table', 'view') order by type, rowid");
  std::vector<NeededRelation> needed;
  for (; !objects.EOF_(); objects.MoveNext()) {
    const QString name = objects.Text("name");
    if (kDemoBaseTables.contains(name) || kWrittenOnly.contains(name) ||
        name.startsWith(QLatin1String("sqlite_")))
      continue;
    NeededRelation relation{name, {}};
    if (const db::sql::Relation* found = demo->Catalog().Find(name))
      for (const db::sql::ColumnShape& c : found->columns)
        relation.columns << c.name;
    needed.push_back(std::move(relation));
  }
  return needed;
}

QStringList MissingForProgram(db::Connection& connection) {
  QStringList missing;
  for (const NeededRelation& needed : ProgramNeeds()) {
    const db::sql::Relation* present = connection.Catalog().Find(needed.name);
    if (present == nullptr) {
      missing << needed.name + QStringLiteral(" (whole table or query)");
      continue;
    }
    QStringList have;
    for (const db::sql::ColumnShape& c : present->columns)
      have << c.name.toCaseFolded();
    QStringList lacking;
    for (const QString& column : needed.columns)
      if (!have.contains(column.toCaseFolded())) lacking << column;
    if (!lacking.isEmpty()) missing << needed.name + QStringLiteral(": ") + lacking.join(", ");
  }
  return missing;
}

}  // namespace tarvel::demo
