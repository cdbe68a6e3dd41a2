// A database failure: the engine's own description (shown to the user) and the statement.
#pragma once

#include "platform/Error.h"

namespace tarvel::db {

class DbError : public tarvel::Error {
 public:
  DbError(const QString& description, const QString& statement = {})
      : Error(description), statement_(statement) {}

  /// The SQL text (as the program sent it) that failed; empty for failures outside a statement.
  const QString& Statement() const { return statement_; }

 private:
  QString statement_;
};

/// A statement nested deeper than Access takes: Access's "查詢太複雜".
class QueryTooComplex : public DbError {
 public:
  using DbError::DbError;
};

}  // namespace tarvel::db
