// What the main window holds after its first activation: the code lists behind its range boxes
// and the defaults of its criteria. The window and the command-line tool both start from here.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "criteria/WorkOrderCriteria.h"

namespace tarvel {

namespace db {
class Connection;
}

/// One row of a code list: the code and the name shown beside it.
struct CodeName {
  QString code;
  QString name;
};

/// [EMPLOYEE] ID, NAME ordered by ID, trimmed. Throws db::DbError.
std::vector<CodeName> LoadSalespeople(db::Connection& connection);
/// [CUST] ID, SNAME ordered by ID, trimmed. Throws db::DbError.
std::vector<CodeName> LoadCustomers(db::Connection& connection);

/// The descriptions of the [PHRASE] rows of `kind` and `item` ordered by ID, trimmed (NULL as
/// ""), after an empty first entry: the items of the window's category and classification lists.
/// Throws db::DbError.
QStringList LoadPhraseList(db::Connection& connection, const QString& kind, const QString& item);

/// The window's defaults on the clock's today: work-order numbers "" to nine "z", this month as the
/// date range (yyyMM01 to the month's last day), 表5's dates yyy0101 to yyy0630, and the first
/// and last code of each list as the salesperson and customer ranges (empty for an empty list).
/// Everything else as a new window has it (the option groups on 全部, no box ticked).
OverviewFormState FirstActivationDefaults(const std::vector<CodeName>& salespeople,
                                          const std::vector<CodeName>& customers);
/// The same with the salespeople and customers of `connection`'s database. Throws db::DbError.
OverviewFormState FirstActivationDefaults(db::Connection& connection);

}  // namespace tarvel
