// What the program reads from the suite's database: every table and report source of the suite's
// schema (which the demo schema mirrors) with its columns, and what a given database lacks of it.
// A site checks its own file with this before pointing KORV.DSN at it (tarvel-cli jet-info).
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace tarvel::db {
class Connection;
}

namespace tarvel::demo {

/// A table or report source the program reads.
struct NeededRelation {
  QString name;
  QStringList columns;
};

/// Every table and report source of the demo schema, in the schema's order, except the demo's
/// own base tables (the suite has its report sources as stored queries or tables instead) and
/// [SYSUSER1], which the program only writes.
std::vector<NeededRelation> ProgramNeeds();

/// What `connection`'s database lacks of ProgramNeeds(), one line each: "name (whole table or
/// query)" or "name: column, column". Names and columns compare without regard to case.
QStringList MissingForProgram(db::Connection& connection);

}  // namespace tarvel::demo
