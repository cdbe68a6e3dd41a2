// Stored queries of a Jet file: their text rebuilt as Access shows it, and views where a select
// can be one.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <map>

#include "JetCraft.h"
#include "JetTestSupport.h"
#include "db/Connection.h"
#include "db/jet/JetQueries.h"
#include "support/TempDir.h"

namespace tarvel::db {
namespace {

using test::OpenJet;

// Access puts each clause on a line of its own; the facts show them on one.
QString OneLine(const QString& sql) {
  static const QRegularExpression blanks(QStringLiteral("\\s+"));
  return QString(sql).replace(blanks, QStringLiteral(" ")).trimmed();
}

const std::map<QString, QString>& AccessTexts() {
  static const std::map<QString, QString> texts = {
      {"SelectQuery",
       "SELECT DISTINCT Table1.*, Table2.col1, Table2.col2, Table3.col3 FROM (Table1 LEFT JOIN "
       "Table3 ON Table1.col1 = Table3.col1) INNER JOIN Table2 ON (Table3.col1 = Table2.col2) AND "
       "(Table3.col1 = Table2.col1) WHERE (((Table2.col2)=\"foo\" Or (Table2.col2) In "
       "(\"buzz\",\"bazz\"))) ORDER BY Table2.col1;"},
      {"DeleteQuery",
       "DELETE Table1.col1, Table1.col2, Table1.col3 FROM Table1 WHERE "
       "(((Table1.col1)>\"blah\"));"},
      {"AppendQuery",
       "INSERT INTO Table3 (col2, col2, col3) SELECT [Table1].[col2], [Table2].[col2], "
       "[Table2].[col3] FROM Table3, Table1 INNER JOIN Table2 ON [Table1].[col1]=[Table2].[col1];"},
      {"UpdateQuery",
       "PARAMETERS [User Name] Text; UPDATE Table1 SET Table1.col1 = \"foo\", Table1.col2 = "
       "[Table2].[col3], [Table2].[col1] = [User Name] WHERE ((([Table2].[col1]) Is Not Null));"},
      {"MakeTableQuery",
       "SELECT Max(Table2.col1) AS MaxOfcol1, Table2.col2, Table3.col2 INTO Table4 FROM (Table2 "
       "INNER JOIN Table1 ON Table2.col1 = Table1.col2) RIGHT JOIN Table3 ON Table1.col2 = "
       "Table3.col3 GROUP BY Table2.col2, Table3.col2 HAVING (((Max(Table2.col1))=\"buzz\") AND "
       "((Table2.col2)<>\"blah\"));"},
      {"CrosstabQuery",
       "TRANSFORM Count([Table2].[col2]) AS CountOfcol2 SELECT Table2_1.col1, [Table2].[col3], "
       "Avg(Table2_1.col2) AS AvgOfcol2 FROM (Table1 INNER JOIN Table2 ON "
       "[Table1].[col1]=[Table2].[col1]) INNER JOIN Table2 AS Table2_1 ON "
       "[Table2].[col1]=Table2_1.col3 WHERE ((([Table1].[col1])>\"10\") And ((Table2_1.col1) Is "
       "Not Null) And ((Avg(Table2_1.col2))>\"10\")) GROUP BY Table2_1.col1, [Table2].[col3] "
       "ORDER BY [Table2].[col3] PIVOT [Table1].[col1];"},
      {"UnionQuery",
       "Select Table1.col1, Table1.col2 where Table1.col1 = \"foo\" UNION Select Table2.col1, "
       "Table2.col2 UNION ALL Select Table3.col1, Table3.col2 where Table3.col3 > \"blah\";"},
      {"PassthroughQuery", "ALTER TABLE Table4 DROP COLUMN col5;"},
      {"DataDefinitionQuery", "CREATE TABLE Table5 (col1 CHAR, col2 CHAR);"},
  };
  return texts;
}

TEST(JetStoredQueries, EveryKindRebuiltAsAccessShowsItInJet3AndJet4) {
  for (const char* file : {"queryTestV2003.mdb", "queryTestV2000.mdb", "queryTestV1997.mdb"}) {
    SCOPED_TRACE(file);
    auto connection = OpenJet(QString::fromLatin1(file));
    const auto& reports = connection->StoredQueries();
    std::map<QString, QString> rebuilt;
    for (const StoredQueryReport& r : reports)
      rebuilt[r.name] = OneLine(r.accessSql);
    for (const auto& [name, text] : AccessTexts()) {
      ASSERT_TRUE(rebuilt.count(name)) << name.toStdString();
      EXPECT_EQ(rebuilt[name], text) << name.toStdString();
    }
    EXPECT_EQ(rebuilt.size(), AccessTexts().size());
  }
}

TEST(JetStoredQueries, QueriesAreOfferedActionQueriesAreListedWithTheirReason) {
  auto connection = OpenJet(QStringLiteral("queryTestV2003.mdb"));
  std::map<QString, StoredQueryReport> byName;
  for (const StoredQueryReport& r : connection->StoredQueries())
    byName[r.name] = r;
  using Offer = StoredQueryReport::Offer;
  // The select query: a view, with Access's "texts" and the nested and right joins translated.
  EXPECT_EQ(byName["SelectQuery"].offer, Offer::View) << byName["SelectQuery"].reason.toStdString();
  EXPECT_EQ(byName["SelectQuery"].kind, QStringLiteral("Select"));
  EXPECT_EQ(connection->OpenRecordset("select count(*) from SelectQuery").Field(0), Value(0));
  // Table1.* and three columns of the others; the names two tables share are told apart as
  // Access tells them apart.
  const QStringList names = connection->OpenRecordset("select * from [SelectQuery]").FieldNames();
  EXPECT_EQ(names, QStringList({"Table1.col1", "Table1.col2", "Table1.col3", "Table2.col1",
                                "Table2.col2", "Table3.col3"}));
  // The crosstab has an aggregate in its WHERE, which Access refuses too.
  EXPECT_EQ(byName["CrosstabQuery"].offer, Offer::No);
  EXPECT_TRUE(byName["CrosstabQuery"].reason.contains(QStringLiteral("HAVING")))
      << byName["CrosstabQuery"].reason.toStdString();
  // The union names tables none of its selects reads: Access asks for them as parameters.
  EXPECT_EQ(byName["UnionQuery"].offer, Offer::InPlace);
  // Queries that change data or the schema are listed, never run.
  for (const char* name : {"DeleteQuery", "AppendQuery", "UpdateQuery", "MakeTableQuery",
                           "PassthroughQuery", "DataDefinitionQuery"}) {
    EXPECT_EQ(byName[name].offer, Offer::No) << name;
    EXPECT_TRUE(byName[name].reason.contains(QStringLiteral("不執行"))) << name;
  }
  EXPECT_EQ(connection->OpenRecordset("select count(*) from Table1").Field(0), Value(0));
}

// Where MSysQueries keeps the type row of the query with MSysObjects.Id `id` (low 24 bits).
test::RowPlace TypeRowOf(const QByteArray& file, qint64 id) {
  const auto scan =
      jet::File::OpenBytes(file, QStringLiteral("x"))->OpenScan(QStringLiteral("MSysQueries"));
  int objectId = -1, attribute = -1;
  for (int c = 0; c < scan->ColumnCount(); ++c) {
    const QString name = scan->Columns()[static_cast<size_t>(c)].name;
    if (name == QLatin1String("ObjectId")) objectId = c;
    if (name == QLatin1String("Attribute")) attribute = c;
  }
  while (scan->Next()) {
    if ((scan->Value(objectId).integer & 0xffffff) == id && scan->Value(attribute).integer == 1)
      return {static_cast<int>(scan->RowKey() >> 16), static_cast<int>(scan->RowKey() & 0xffff)};
  }
  return {};
}

// A query whose MSysQueries rows hold no type row takes its type from MSysObjects.Flags, and reads
// as it did; one whose text only the type row held (data definition) says so. A form's or combo
// box's record source (~sq_…) is a query like any other.
TEST(JetStoredQueries, WithoutATypeRowTheCatalogsTypeServes) {
  tarvel::test::TempDir dir;
  for (const char* fixture : {"queryTestV2003.mdb", "queryTestV1997.mdb"}) {
    SCOPED_TRACE(fixture);
    QByteArray bytes = test::ReadFixture(QString::fromLatin1(fixture));
    std::map<QString, QString> before;
    const auto original = OpenJet(QString::fromLatin1(fixture));
    for (const StoredQueryReport& r : original->StoredQueries())
      before[r.name] = r.accessSql;
    const auto file = jet::File::OpenBytes(bytes, QStringLiteral("x"));
    for (const jet::QueryObject& q : file->Queries()) {
      const test::RowPlace type = TypeRowOf(bytes, q.id);
      ASSERT_GT(type.page, 0) << q.name.toStdString();
      test::SetSlotEntry(bytes, type.page, type.index,
                         test::SlotEntry(bytes, type.page, type.index) | 0xc000);
    }
    const QString path = dir.Write("KORV.mdb", bytes);
    auto connection = Connection::Open(test::JetConnectionString(path));
    std::map<QString, StoredQueryReport> after;
    for (const StoredQueryReport& r : connection->StoredQueries())
      after[r.name] = r;
    ASSERT_EQ(after.size(), before.size());
    for (const char* name :
         {"SelectQuery", "CrosstabQuery", "UnionQuery", "UpdateQuery", "DeleteQuery"}) {
      EXPECT_EQ(after[name].accessSql, before[name]) << name;
    }
    EXPECT_EQ(after["SelectQuery"].kind, QStringLiteral("Select"));
    EXPECT_EQ(after["SelectQuery"].offer, StoredQueryReport::Offer::View);
    EXPECT_EQ(after["UnionQuery"].kind, QStringLiteral("Union"));
    EXPECT_TRUE(after["DataDefinitionQuery"].reason.contains(QStringLiteral("類型列")))
        << after["DataDefinitionQuery"].reason.toStdString();
  }
  // Flags beyond the types Access writes: no guess.
  EXPECT_EQ(jet::KindOfCatalogFlags(0x03), jet::StoredQuery::Kind::Select);
  EXPECT_EQ(jet::KindOfCatalogFlags(0x90), jet::StoredQuery::Kind::Unknown);
  EXPECT_THROW(jet::RebuildQuery(QStringLiteral("q"), {}, 0x90), DbError);
}

TEST(JetStoredQueries, FormAndComboBoxRecordSourcesAreOffered) {
  tarvel::test::TempDir dir;
  QByteArray bytes = test::ReadFixture(QStringLiteral("queryTestV2003.mdb"));
  // MSysObjects keeps the name as UTF-16; the form's source has a name of the same length.
  const auto utf16 = [](const QString& text) {
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
  };
  const qsizetype at = bytes.indexOf(utf16(QStringLiteral("SelectQuery")));
  ASSERT_GT(at, 0);
  bytes.replace(at, 22, utf16(QStringLiteral("~sq_fOrders")));
  auto connection = Connection::Open(test::JetConnectionString(dir.Write("KORV.mdb", bytes)));
  EXPECT_EQ(connection->OpenRecordset("select count(*) from [~sq_fOrders]").Field(0), Value(0));
}

// Rows of MSysQueries made by hand, for what the fixtures do not hold.
jet::QueryRow Row(int attribute, int flag, const char* name1, const char* name2,
                  const char* expression) {
  return {attribute, flag, QString::fromUtf8(name1), QString::fromUtf8(name2),
          QString::fromUtf8(expression)};
}

TEST(JetStoredQueries, TopAliasesDescendingOrderAndBracketedNames) {
  const jet::StoredQuery q = jet::RebuildQuery(
      QStringLiteral("q"),
      {Row(1, 1, "", "", ""), Row(3, 0x10 | 0x02, "5", "", ""), Row(5, 0, "歷史工單明細1", "", ""),
       Row(5, 0, "Order Details", "o", ""), Row(6, 0, "", "", "o.[Qty]"),
       Row(6, 0, "總數", "", "Sum(AMT)"),
       Row(7, 2, "歷史工單明細1", "o", "歷史工單明細1.PO = o.PO"), Row(9, 0, "", "", "o.[Qty]"),
       Row(11, 0, "D", "", "Sum(AMT)"), Row(11, 0, "", "", "o.[Qty]")});
  EXPECT_EQ(q.kind, jet::StoredQuery::Kind::Select);
  EXPECT_EQ(OneLine(q.accessSql),
            "SELECT DISTINCT TOP 5 o.[Qty], Sum(AMT) AS 總數 FROM 歷史工單明細1 LEFT JOIN "
            "[Order Details] AS o ON 歷史工單明細1.PO = o.PO GROUP BY o.[Qty] ORDER BY Sum(AMT) "
            "DESC, o.[Qty];");
  // A join naming a table the query does not have: a clear reason, no guess.
  EXPECT_THROW(
      jet::RebuildQuery(QStringLiteral("bad"), {Row(1, 1, "", "", ""), Row(5, 0, "A", "", ""),
                                                Row(7, 1, "A", "B", "A.x = B.x")}),
      DbError);
}

}  // namespace
}  // namespace tarvel::db
