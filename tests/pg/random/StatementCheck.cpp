#include "pg/random/StatementCheck.h"

#include <QRegularExpression>

namespace tarvel::test {
namespace {

// What a difference is, for knowing a smaller statement shows the same one: its kind and the
// failing engine's message without the values it quotes.
QString Fault(const StatementCheck& check) {
  static const QRegularExpression values(QStringLiteral("\"[^\"]*\"|'[^']*'|「[^」]*」|[0-9]+"));
  QString fault = check.verdict.what;
  for (const Outcome* o : {&check.sqlite, &check.server})
    if (o->failed) fault += u'|' + QString(o->error).replace(values, QStringLiteral("…"));
  return fault;
}

}  // namespace

StatementCheck Check(const GeneratedStatement& statement, EnginePair engines) {
  StatementCheck check{statement, {}, {}, {}};
  const QString sql = statement.Sql();
  QList<QPair<QString, QString>> parameters;
  for (const GeneratedStatement::Parameter& p : statement.parameters)
    parameters.append({p.name, p.value});
  const StatementOnCrash note(sql);
  check.sqlite = RunStatement(engines.sqlite, sql, parameters);
  check.server = RunStatement(engines.server, sql, parameters);
  check.verdict = Judge(check.sqlite, check.server, statement.OrderColumns());
  return check;
}

StatementCheck Minimise(const StatementCheck& difference, EnginePair engines, int attempts) {
  StatementCheck smallest = difference;
  const QString fault = Fault(difference);
  for (bool smaller = true; smaller && attempts > 0;) {
    smaller = false;
    for (const GeneratedStatement& candidate : smallest.statement.Smaller()) {
      if (--attempts < 0) break;
      StatementCheck check = Check(candidate, engines);
      if (check.verdict.kind == Verdict::Kind::Different && Fault(check) == fault) {
        smallest = std::move(check);
        smaller = true;
        break;
      }
    }
  }
  return smallest;
}

}  // namespace tarvel::test
