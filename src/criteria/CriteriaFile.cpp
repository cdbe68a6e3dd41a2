#include "criteria/CriteriaFile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <cmath>

namespace tarvel {
namespace {

// The names of the object `json` holds (a document the JSON parser took as an object), in their
// order, repeats included: the parser keeps only the last value of a name written twice.
QStringList TopLevelNames(const QByteArray& json) {
  QStringList names;
  int depth = 0;
  bool nameNext = false;
  for (qsizetype i = 0; i < json.size(); ++i) {
    const char c = json[i];
    if (c == '"') {
      qsizetype end = i + 1;
      while (end < json.size() && json[end] != '"')
        end += json[end] == '\\' ? 2 : 1;
      if (depth == 1 && nameNext) {
        // Read by the parser itself, so "\u0050oFrom" is the name PoFrom.
        const QByteArray literal = '[' + json.mid(i, end - i + 1) + ']';
        names << QJsonDocument::fromJson(literal).array().at(0).toString();
        nameNext = false;
      }
      i = end;
    } else if (c == '{' || c == '[') {
      nameNext = ++depth == 1;
    } else if (c == '}' || c == ']') {
      --depth;
    } else if (c == ',' && depth == 1) {
      nameNext = true;
    }
  }
  return names;
}

}  // namespace

bool IsDateBoxText(const QString& text) {
  if (text.isEmpty()) return true;
  if (text.size() != 7) return false;
  for (const QChar c : text)
    if (c < u'0' || c > u'9') return false;
  return true;
}

bool CriteriaFile::Load(const QString& path, QString& problem) {
  path_ = path;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    problem = QStringLiteral("無法讀取 ") + path;
    return false;
  }
  QJsonParseError error;
  const QByteArray json = file.readAll();
  const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
  if (!doc.isObject()) {
    problem =
        path + QStringLiteral("：不是 JSON 物件（") + error.errorString() + QStringLiteral("）");
    return false;
  }
  object_ = doc.object();
  std::set<QString> seen;
  std::set<QString> repeated;
  for (const QString& name : TopLevelNames(json))
    if (!seen.insert(name).second && repeated.insert(name).second)
      problems_ << QStringLiteral("%1：「%2」寫了不只一次，不知道該用哪一個值").arg(path, name);
  return true;
}

std::optional<QJsonValue> CriteriaFile::Value(const char* name) {
  const QString key = QString::fromUtf8(name);
  asked_.insert(key);
  if (!object_.contains(key)) return std::nullopt;
  return object_.value(key);
}

void CriteriaFile::Refuse(const char* name, const QString& expected) {
  const QJsonValue value = object_.value(QString::fromUtf8(name));
  const QString shown =
      value.isString()
          ? QLatin1Char('"') + value.toString() + QLatin1Char('"')
          : QString::fromUtf8(QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact))
                .mid(1)
                .chopped(1);
  problems_ << QStringLiteral("%1：「%2」必須是%3，不是 %4")
                   .arg(path_, QString::fromUtf8(name), expected, shown);
}

std::optional<QString> CriteriaFile::Text(const char* name) {
  const auto value = Value(name);
  if (!value) return std::nullopt;
  if (!value->isString()) {
    Refuse(name, QStringLiteral("文字（JSON 字串）"));
    return std::nullopt;
  }
  return value->toString();
}

std::optional<QString> CriteriaFile::Date(const char* name) {
  const auto value = Value(name);
  if (!value) return std::nullopt;
  if (!value->isString() || !IsDateBoxText(value->toString())) {
    Refuse(name,
           QStringLiteral("七位數字的民國日期 yyyMMdd 或空白（JSON 字串，例如 \"1151101\"）"));
    return std::nullopt;
  }
  return value->toString();
}

std::optional<bool> CriteriaFile::Flag(const char* name) {
  const auto value = Value(name);
  if (!value) return std::nullopt;
  if (!value->isBool()) {
    Refuse(name, QStringLiteral(" true 或 false"));
    return std::nullopt;
  }
  return value->toBool();
}

std::optional<int> CriteriaFile::Option(const char* name, int first, int last) {
  const auto value = Value(name);
  if (!value) return std::nullopt;
  const double number = value->toDouble();
  if (!value->isDouble() || number != std::floor(number) || number < first || number > last) {
    Refuse(name, QStringLiteral(" %1 到 %2 的整數").arg(first).arg(last));
    return std::nullopt;
  }
  return static_cast<int>(number);
}

std::optional<QStringList> CriteriaFile::Texts(const char* name, int most) {
  const auto value = Value(name);
  if (!value) return std::nullopt;
  const QJsonArray array = value->toArray();
  bool texts = value->isArray() && array.size() <= most;
  QStringList list;
  for (const QJsonValue& item : array) {
    texts = texts && item.isString();
    list << item.toString();
  }
  if (!texts) {
    Refuse(name, QStringLiteral("最多 %1 個文字的陣列").arg(most));
    return std::nullopt;
  }
  return list;
}

QStringList CriteriaFile::Problems() const {
  QStringList problems = problems_;
  for (auto it = object_.constBegin(); it != object_.constEnd(); ++it)
    if (!asked_.contains(it.key()))
      problems << QStringLiteral("%1：不認得的名稱「%2」").arg(path_, it.key());
  return problems;
}

}  // namespace tarvel
