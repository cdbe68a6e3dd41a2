// The rows of a picker's query as the grid shows them: one heading per column (the query's column
// names), each cell the field's text.
#pragma once

#include <QAbstractTableModel>

#include "db/Recordset.h"

namespace tarvel {

class LookupRowsModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit LookupRowsModel(QObject* parent = nullptr);

  /// Shows `rows` instead of what was shown before.
  void SetRows(db::Recordset rows);

  /// The text of a cell as a field is read everywhere in the program: trimmed, NULL as "".
  QString Text(int row, int column) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  db::Recordset rows_;
};

}  // namespace tarvel
