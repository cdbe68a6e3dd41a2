#include "windows/lookup/LookupRowsModel.h"

#include <algorithm>
#include <climits>

namespace tarvel {

LookupRowsModel::LookupRowsModel(QObject* parent) : QAbstractTableModel(parent) {}

void LookupRowsModel::SetRows(db::Recordset rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

QString LookupRowsModel::Text(int row, int column) const {
  if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return QString();
  return rows_.Row(row)[static_cast<size_t>(column)].Text();
}

int LookupRowsModel::rowCount(const QModelIndex& parent) const {
  // Item views count rows in int; a table beyond that shows its first INT_MAX rows.
  return parent.isValid() ? 0 : static_cast<int>(std::min<qint64>(rows_.RecordCount(), INT_MAX));
}

int LookupRowsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_.FieldCount();
}

QVariant LookupRowsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole) return QVariant();
  return Text(index.row(), index.column());
}

QVariant LookupRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
  if (section < 0 || section >= columnCount()) return QVariant();
  return rows_.FieldNames().at(section);
}

}  // namespace tarvel
