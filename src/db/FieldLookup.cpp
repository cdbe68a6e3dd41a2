#include "db/FieldLookup.h"

namespace tarvel::db {

FieldLookup::FieldLookup(const QStringList& names, const QStringList& qualifiedNames) {
  index_.reserve(names.size() * 2);
  // The first field of a name wins, as Jet's collection lookup does.
  for (auto i = names.size() - 1; i >= 0; --i) {
    exact_.insert(names[i], static_cast<int>(i));
    index_.insert(names[i].toCaseFolded(), static_cast<int>(i));
  }
  for (auto i = qualifiedNames.size() - 1; i >= 0; --i) {
    if (!qualifiedNames[i].isEmpty())
      index_.insert(qualifiedNames[i].toCaseFolded(), static_cast<int>(i));
  }
}

int FieldLookup::Find(const QString& name) const {
  if (const auto exact = exact_.constFind(name); exact != exact_.constEnd()) return *exact;
  const auto it = index_.constFind(name.toCaseFolded());
  if (it != index_.constEnd()) return *it;
  if (name.contains(QLatin1Char('['))) {
    QString plain = name;
    plain.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
    return index_.value(plain.toCaseFolded(), -1);
  }
  return -1;
}

}  // namespace tarvel::db
