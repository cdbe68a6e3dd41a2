// Fills an empty demo database: schema, seeded master data and work orders, in one transaction.
#pragma once

#include <QDate>

namespace tarvel::db {
class Connection;
}

namespace tarvel::demo {

struct DemoOptions;
struct DemoSummary;

/// Creates the schema in `connection` (an empty database; on a PostgreSQL server the schema's
/// tables and views are dropped first when they exist) and writes every row; fills the
/// counts, the order-date range and the users of `summary`. `today` is the day the data is "as
/// of". Throws tarvel::Error (db::DbError) when a statement fails.
void FillDemoDatabase(db::Connection& connection, const DemoOptions& options, QDate today,
                      DemoSummary& summary);

}  // namespace tarvel::demo
