// What a Jet file's header says: its format (Jet 3, Jet 4, ACCDB, encrypted or not) and the sort
// order it was made with, read from crafted copies of the fixtures whose headers say otherwise.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>

#include "JetCraft.h"
#include "JetTestSupport.h"
#include "db/jet/JetModule.h"
#include "db/sqlite/SqliteAccessFunctions.h"
#include "db/sqlite/SqliteCatalog.h"
#include "support/Cli.h"

namespace tarvel {
namespace db {
namespace {

using test::ErrorText;
using test::JetConnectionString;
using test::ReadFixture;

QStringList Column(Connection& connection, const QString& sql) {
  QStringList out;
  for (Recordset rows = connection.OpenRecordset(sql); !rows.EOF_(); rows.MoveNext())
    out << rows.Field(0).ToText();
  return out;
}

TEST(JetHeader, TheRecordedSortOrderOfJet3AndJet4) {
  for (const char* fixture : {"testV2003.mdb", "testV1997.mdb"}) {
    SCOPED_TRACE(fixture);
    const QByteArray original = ReadFixture(QString::fromLatin1(fixture));
    const struct {
      int code;
      jet::SortOrder::Kind kind;
      const char16_t* name;
    } cases[] = {
        {1033, jet::SortOrder::Kind::General, u"一般"},
        {1028, jet::SortOrder::Kind::TraditionalChineseStroke, u"繁體中文筆劃"},
        {1041, jet::SortOrder::Kind::Unknown, u"代碼 1041"},
        {2052, jet::SortOrder::Kind::Unknown, u"代碼 2052"},
    };
    for (const auto& c : cases) {
      const auto file =
          jet::File::OpenBytes(test::WithSortOrder(original, c.code), QStringLiteral("x.mdb"));
      EXPECT_EQ(file->SortOrder().code, c.code);
      EXPECT_EQ(file->SortOrder().kind, c.kind);
      EXPECT_EQ(file->SortOrder().Name(), QString::fromUtf16(c.name));
    }
  }
}

// A file in an order the program does not know is refused, naming the order and the file; the
// two it knows read, their texts declared in their own collation.
TEST(JetHeader, AnUnknownSortOrderIsRefusedTheKnownOnesCollateTheirOwnWay) {
  tarvel::test::TempDir dir;
  const QByteArray original = ReadFixture(QStringLiteral("testV1997.mdb"));
  const QString japanese = dir.Write("japanese.mdb", test::WithSortOrder(original, 1041));
  const QString error = ErrorText(
      [&] { Connection::Open(JetConnectionString(japanese))->OpenRecordset("select 1"); });
  EXPECT_TRUE(error.contains(japanese)) << error.toStdString();
  EXPECT_TRUE(error.contains(QStringLiteral("代碼 1041"))) << error.toStdString();

  // The stroke order's comparisons are the lead's to register; here one that sorts backwards
  // shows which collation the texts were declared with.
  for (const auto& [code, reversed] : {std::pair{1033, false}, std::pair{1028, true}}) {
    SCOPED_TRACE(code);
    auto source = std::make_shared<jet::Source>();
    source->file =
        jet::File::OpenBytes(test::WithSortOrder(original, code), QStringLiteral("x.mdb"));
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &raw), SQLITE_OK);
    const std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(raw, &sqlite3_close_v2);
    RegisterAccessFunctions(raw);
    sqlite3_create_collation(raw, kJetStrokeCollation, SQLITE_UTF8, nullptr,
                             [](void*, int an, const void* a, int bn, const void* b) {
                               return -QByteArray(static_cast<const char*>(a), an)
                                           .compare(QByteArray(static_cast<const char*>(b), bn));
                             });
    SqliteCatalog catalog(raw);
    jet::Attach(raw, source, catalog);
    sqlite3_stmt* stmt = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(raw, "select A from Table1 order by A", -1, &stmt, nullptr),
              SQLITE_OK);
    QStringList order;
    while (sqlite3_step(stmt) == SQLITE_ROW)
      order << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    EXPECT_EQ(order, reversed ? QStringList({"abcdefg", "a"}) : QStringList({"a", "abcdefg"}));
  }
}

// An ACCDB keeps Jet 4's pages: one relabelled reads as the Jet 4 file did, for every release
// libmdb knows. Encrypted ones, later releases and headers at odds with their tag are refused
// by name.
TEST(JetHeader, AccdbReadsAsFarAsLibmdbReadsIt) {
  tarvel::test::TempDir dir;
  const QByteArray jet4 = ReadFixture(QStringLiteral("testV2003.mdb"));
  const auto expected = [&](const QString& path) {
    return Column(*Connection::Open(JetConnectionString(path)),
                  "select A & '|' & C & '|' & G from Table1 order by C");
  };
  const QStringList rows = expected(test::JetFixture(QStringLiteral("testV2003.mdb")));
  ASSERT_EQ(rows.size(), 2);
  const char* releases[] = {"2007", "2010", "2013", "2016", "2019"};
  for (int version = 2; version <= 6; ++version) {
    SCOPED_TRACE(version);
    const QString path = dir.Write("KORV.accdb", test::AsAccdb(jet4, version));
    EXPECT_EQ(expected(path), rows);
    const auto file = jet::File::Open(path);
    EXPECT_TRUE(file->IsAccdb());
    EXPECT_EQ(file->FormatName(),
              QStringLiteral("ACCDB (Access %1)").arg(QLatin1String(releases[version - 2])));
  }
  EXPECT_EQ(jet::File::Open(test::JetFixture(QStringLiteral("testV1997.mdb")))->FormatName(),
            QStringLiteral("Jet 3 (Access 97)"));

  QByteArray jetLater = jet4;
  jetLater[0x14] = 3;
  const struct {
    const char* what;
    QByteArray bytes;
    const char16_t* says;
  } refused[] = {
      {"encrypted", test::WithDatabaseKey(test::AsAccdb(jet4, 3), 0x5a17c0de), u"加密"},
      {"a later release", test::AsAccdb(jet4, 7), u"更新的 ACCDB"},
      {"an ACE tag on Jet 4", test::AsAccdb(jet4, 1), u"格式標記不合"},
      {"a Jet tag on ACCDB", jetLater, u"格式標記不合"},
  };
  for (const auto& c : refused) {
    SCOPED_TRACE(c.what);
    const QString path = dir.Write("KORV.accdb", c.bytes);
    const QString error = ErrorText([&] { Connection::Open(JetConnectionString(path)); });
    EXPECT_TRUE(error.contains(QString::fromUtf16(c.says))) << error.toStdString();
    EXPECT_TRUE(error.contains(path)) << error.toStdString();
  }
  // A Jet 4 file's key is its pages' RC4 key, which libmdb undoes: not a refusal.
  EXPECT_FALSE(jet::File::OpenBytes(jet4, QStringLiteral("x"))->IsAccdb());
}

TEST(JetHeader, JetInfoShowsTheFormatAndSortOrderEvenOfAFileItRefuses) {
  tarvel::test::TempDir dir;
  const QByteArray jet3 = ReadFixture(QStringLiteral("testV1997.mdb"));
  const tarvel::test::CliRun general =
      tarvel::test::RunCli(cli::RunJetInfoCommand, {dir.Write("general.mdb", jet3)});
  EXPECT_EQ(general.code, 0) << general.err.toStdString();
  EXPECT_TRUE(
      general.out.contains(QStringLiteral("format: Jet 3 (Access 97)\nsort order: 一般 (1033)\n")))
      << general.out.toStdString();
  const tarvel::test::CliRun unknown = tarvel::test::RunCli(
      cli::RunJetInfoCommand, {dir.Write("thai.mdb", test::WithSortOrder(jet3, 1054))});
  EXPECT_EQ(unknown.code, 1);
  EXPECT_TRUE(
      unknown.out.contains(QStringLiteral("sort order: 代碼 1054, not known to the program\n")))
      << unknown.out.toStdString();
  EXPECT_TRUE(unknown.err.contains(QStringLiteral("代碼 1054"))) << unknown.err.toStdString();
}

}  // namespace
}  // namespace db
}  // namespace tarvel
