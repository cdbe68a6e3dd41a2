// A statement Access SQL refuses: Access's words for why (shown to the user) and the statement.
#pragma once

#include "platform/Error.h"

namespace tarvel::db::sql {

class SqlError : public tarvel::Error {
 public:
  SqlError(const QString& description, const QString& statement = {})
      : Error(description), statement_(statement) {}

  /// The Access SQL text refused; empty where the refusal is known before the text is.
  const QString& Statement() const { return statement_; }

 private:
  QString statement_;
};

/// A statement nested deeper than Access takes (parentheses, Not, subqueries, chains of operators):
/// Access's "查詢太複雜".
class QueryTooComplex : public SqlError {
 public:
  using SqlError::SqlError;
};

}  // namespace tarvel::db::sql
