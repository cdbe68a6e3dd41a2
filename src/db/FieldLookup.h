// Finding a field of a result by name, the way Jet's Fields collection does.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace tarvel::db {

class FieldLookup {
 public:
  FieldLookup() = default;
  /// Indexes `names` (the plain column names, in select order) and, where given, the
  /// "table.column" name of each field in `qualifiedNames` (same length, or empty).
  explicit FieldLookup(const QStringList& names, const QStringList& qualifiedNames = {});

  /// Index of the field called `name`, or -1. Case-insensitive, as Jet. A plain name finds the
  /// first field of that name; "table.name" finds the field of that table; "[PO]" and
  /// "table.[PO]" name the same field as their plain forms.
  int Find(const QString& name) const;

 private:
  QHash<QString, int> exact_;  // names as the engine spelled them: no folding on the usual path
  QHash<QString, int> index_;  // case-folded plain and qualified names
};

}  // namespace tarvel::db
