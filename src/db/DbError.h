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

/// An update or deletion whose row is no longer as it was read (another workstation changed or
/// deleted it): the message every engine gives.
class RowChanged : public DbError {
 public:
  explicit RowChanged(const QString& statement)
      : DbError(QStringLiteral("找不到要更新的資料列。某些值可能在上次讀取之後已經變更。"),
                statement) {}
};

/// A statement nested deeper than Access takes: Access's "查詢太複雜".
class QueryTooComplex : public DbError {
 public:
  using DbError::DbError;
};

}  // namespace tarvel::db
