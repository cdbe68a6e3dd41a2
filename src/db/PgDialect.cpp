#include "db/PgDialect.h"

#include <QRegularExpression>

#include "db/JetRewriter.h"

namespace tarvel::db::PgDialect {
namespace {

using Option = QRegularExpression::PatternOption;

QString ReplaceAll(QString text, const char* pattern, const QString& with) {
  text.replace(QRegularExpression(QString::fromLatin1(pattern), Option::CaseInsensitiveOption),
               with);
  return text;
}

// The name after CREATE TABLE / CREATE VIEW, as written.
QString CreatedName(const QString& statement) {
  static const QRegularExpression name(
      QStringLiteral("^\\s*create\\s+(?:table|view)\\s+(?:if\\s+not\\s+exists\\s+)?"
                     "(\\[[^\\]]*\\]|\"(?:[^\"]|\"\")*\"|[^\\s(]+)"),
      Option::CaseInsensitiveOption);
  return name.match(statement).captured(1);
}

QString Unbracketed(QString name) {
  if (name.startsWith(u'[') && name.endsWith(u']')) name = name.mid(1, name.size() - 2);
  return name;
}

}  // namespace

QString Translate(const QString& jetSql) {
  return detail::Rewrite(jetSql, detail::Engine::Postgres).sql;
}

Schema SchemaFromSqlite(const QString& sqliteScript) {
  static const QRegularExpression statementEnd(QStringLiteral(";[ \\t]*(\\r?\\n|$)"));
  static const QRegularExpression createTable(QStringLiteral("^\\s*create\\s+table\\b"),
                                              Option::CaseInsensitiveOption);
  static const QRegularExpression createView(QStringLiteral("^\\s*create\\s+view\\b"),
                                             Option::CaseInsensitiveOption);
  static const QRegularExpression pragma(QStringLiteral("^\\s*pragma\\b"),
                                         Option::CaseInsensitiveOption);
  QStringList lines;
  for (const QString& line : sqliteScript.split(u'\n')) {
    if (!line.trimmed().startsWith(QLatin1String("--"))) lines << line;
  }
  Schema schema;
  QStringList statements{QStringLiteral("CREATE EXTENSION IF NOT EXISTS citext;")};
  for (QString statement : lines.join(u'\n').split(statementEnd, Qt::SkipEmptyParts)) {
    if (statement.trimmed().isEmpty() || pragma.match(statement).hasMatch()) continue;
    if (createTable.match(statement).hasMatch()) {
      schema.tables << Unbracketed(CreatedName(statement));
      statement = ReplaceAll(statement, "\\bTEXT\\s+COLLATE\\s+NOCASE\\b",
                             QStringLiteral("citext COLLATE \"C\""));
      statement =
          ReplaceAll(statement, "\\bTEXT\\b(?!\\s+COLLATE)", QStringLiteral("text COLLATE \"C\""));
      statement = ReplaceAll(statement, "\\bREAL\\b", QStringLiteral("double precision"));
      statement = ReplaceAll(statement, "\\bINTEGER\\b", QStringLiteral("bigint"));
      statement = ReplaceAll(statement, "\\bBLOB\\b", QStringLiteral("bytea"));
      statement = ReplaceAll(statement, "\\bWITHOUT\\s+ROWID\\b", QString());
    } else if (createView.match(statement).hasMatch()) {
      schema.views << Unbracketed(CreatedName(statement));
    }
    statements << Translate(statement).trimmed() + u';';
  }
  schema.create = statements.join(u'\n') + u'\n';
  QStringList drops;
  const auto quoted = [](const QString& name) {
    QString folded = detail::FoldName(name);
    folded.replace(u'"', QStringLiteral("\"\""));
    return u'"' + folded + u'"';
  };
  for (auto it = schema.views.crbegin(); it != schema.views.crend(); ++it)
    drops << QStringLiteral("DROP VIEW IF EXISTS %1 CASCADE;").arg(quoted(*it));
  for (const QString& table : schema.tables)
    drops << QStringLiteral("DROP TABLE IF EXISTS %1 CASCADE;").arg(quoted(table));
  schema.drop = drops.join(u'\n') + u'\n';
  return schema;
}

}  // namespace tarvel::db::PgDialect
