// The WHERE-clause rules, from any criteria texts, filters and users.
//
// Invariants, for every rule: whatever the texts hold, the statement has the same shape as with
// empty texts (every text stays inside its own quoted literal, so an apostrophe cannot end it
// early); a user restricted to his own customers always gets his restriction; and the statement
// prepares on the program's schema.
#include <QStringList>
#include <QTemporaryDir>
#include <cstdint>

#include "FuzzCheck.h"
#include "criteria/WhereClauses.h"
#include "db/Connection.h"
#include "demo/DemoDatabase.h"
#include "platform/Conversions.h"
#include "platform/Error.h"
#include "startup/AppContext.h"

namespace {

using tarvel::fuzz::Check;

/// The statement with the content of every quoted literal removed: its shape.
QString Shape(const QString& sql) {
  QString shape;
  bool inside = false;
  for (qsizetype i = 0; i < sql.size(); ++i) {
    const QChar c = sql[i];
    if (c == u'\'') {
      if (inside && i + 1 < sql.size() && sql[i + 1] == u'\'') {
        ++i;  // a doubled apostrophe stays inside the literal
        continue;
      }
      inside = !inside;
      shape += c;
    } else if (!inside) {
      shape += c;
    }
  }
  Check(!inside, "every literal is closed", sql);
  return shape;
}

/// An empty database with the program's tables and sources, made once.
tarvel::db::Connection& Schema() {
  static QTemporaryDir dir;
  static const std::unique_ptr<tarvel::db::Connection> connection = [] {
    auto db = tarvel::db::Connection::OpenFile(dir.filePath(QStringLiteral("KORV.mdb")), true);
    db->ExecuteScript(tarvel::demo::DemoSchemaText());
    return db;
  }();
  return *connection;
}

QString Where(int rule, const tarvel::WorkOrderCriteria& c, const tarvel::AppContext& context,
              tarvel::OverviewPieces pieces) {
  switch (rule) {
    case 0:
      return tarvel::OverviewWhere(c, context, pieces);
    case 1:
      return tarvel::SalesRangeWhere(c, context);
    case 2:
      return tarvel::ProductionWhere(c, context);
    default:
      return tarvel::PlateRedoWhere(c, context);
  }
}

const char* const kSources[] = {"歷史工單明細1", "歷史工單明細2", "工單生產報表", "歷史工單明細"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3 || size > 4096) return 0;
  // Three bytes of choices, then the texts, one a line.
  const int rule = data[0] % 4;
  const std::uint8_t filters = data[1];
  const std::uint8_t user = data[2];
  const QStringList lines =
      QString::fromUtf8(reinterpret_cast<const char*>(data) + 3, static_cast<qsizetype>(size - 3))
          .split(u'\n');
  // The request, with the fuzzed texts or (for the shape to compare with) with every text empty
  // and every classification, group and profit base replaced by a plain one of the same kind.
  const auto request = [&](bool blank, tarvel::WorkOrderCriteria& c, tarvel::AppContext& context) {
    const auto text = [&](int i) { return blank ? QString() : lines.value(i); };
    QString* const fields[] = {
        &c.PoFrom,          &c.PoTo,         &c.DateFrom,          &c.DateTo,
        &c.CustomerKeyword, &c.SalesKeyword, &c.CustomerFrom,      &c.CustomerTo,
        &c.ItemKeyword,     &c.KeyerKeyword, &c.StaffKeyword,      &c.Category,
        &c.SalesFrom,       &c.SalesTo,      &c.CustomerPoKeyword, &c.Classification};
    for (int i = 0; i < static_cast<int>(std::size(fields)); ++i)
      *fields[i] = text(i);
    // The classification piece is there only for a classification: keep that much of it.
    if (blank && !lines.value(15).isEmpty()) c.Classification = QStringLiteral("x");
    c.DateBasis = static_cast<tarvel::DateBasis>(filters % 4);
    static constexpr tarvel::CompletionFilter kCompletion[] = {
        tarvel::CompletionFilter::Unset, tarvel::CompletionFilter::Finished,
        tarvel::CompletionFilter::Unfinished, tarvel::CompletionFilter::All};
    c.CompletionFilter = kCompletion[(filters >> 2) % 4];
    c.DeliveryFilter = static_cast<tarvel::DeliveryFilter>((filters >> 4) % 4);
    c.InvoiceFilter = static_cast<tarvel::InvoiceFilter>((filters >> 6) % 4);
    c.UnreviewedOnly = user & 1 ? tarvel::UnreviewedOnly::Yes : tarvel::UnreviewedOnly::No;
    c.PositiveAmountOnly =
        user & 2 ? tarvel::PositiveAmountOnly::Yes : tarvel::PositiveAmountOnly::No;
    c.MarginAnomaly = user & 4;

    const bool restricted = user & 32;
    context.UserName = QStringLiteral("U") + lines.value(16);  // never the empty admin mark
    context.AdminName = restricted ? QString() : context.UserName;
    context.EmployeeId = text(17);
    context.WorkOrderRights = QString(39, u'0') + (restricted ? u'1' : u'0');
    const QString base = user & 64 ? lines.value(18) : QString();
    context.ProfitRateBase = blank ? QString(tarvel::Val(base) == 0 ? "0" : "1") : base;
    for (int g = 0; g < 3; ++g) {
      const QString group = lines.value(19 + g);
      context.Groups[g] = blank && !group.isEmpty() ? QStringLiteral("x") : group;
    }
  };
  const tarvel::OverviewPieces pieces{.customerRange = (user & 8) == 0,
                                      .positiveAmount = (user & 16) != 0};

  tarvel::WorkOrderCriteria c, blank;
  tarvel::AppContext context, blankContext;
  request(false, c, context);
  request(true, blank, blankContext);
  const QString where = Where(rule, c, context, pieces);
  Check(Shape(where) == Shape(Where(rule, blank, blankContext, pieces)),
        "the texts stay inside their literals", where);

  const bool restricted = user & 32;
  if (restricted)
    Check(where.contains(QStringLiteral(" in (select ID from [CUSTE] where EMPNO ='")) &&
              where.endsWith(QStringLiteral(" ) ")),
          "the restricted user's scope closes the statement", where);

  const QString statement =
      QStringLiteral("select * from [") + QString::fromUtf8(kSources[rule]) + "] " + where;
  try {
    (void)Schema().HasRows(statement);
  } catch (const tarvel::Error& e) {
    Check(false, "the statement runs on the program's schema", statement, e.Description());
  }
  return 0;
}
