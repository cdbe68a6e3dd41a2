#include "db/pg/ServerUri.h"

#include <QByteArray>
#include <QUrl>
#include <algorithm>

namespace tarvel::db {
namespace {

constexpr QLatin1StringView kSchemes[] = {QLatin1StringView("postgresql://"),
                                          QLatin1StringView("postgres://")};

QString Decoded(const QString& text) {
  return QUrl::fromPercentEncoding(text.toUtf8());
}

bool IsPasswordKey(const QString& key) {
  return Decoded(key).trimmed().toLower().endsWith(QLatin1String("password"));
}

// Where the parts of "scheme://[user[:password]@]host…[?key=value&…]" lie. The user part ends at
// the last "@" before the parameters, so a password holding an unencoded "/" or "@" is still
// taken whole.
struct Parts {
  qsizetype authority = -1;  // after "://"
  qsizetype at = -1;         // the "@" ending the user part, or -1
  qsizetype colon = -1;      // the ":" before the password, or -1
  qsizetype query = -1;      // the "?", or -1
};

Parts Split(const QString& text) {
  Parts parts;
  const qsizetype scheme = text.indexOf(QLatin1String("://"));
  if (scheme < 0) return parts;
  parts.authority = scheme + 3;
  parts.query = text.indexOf(u'?', parts.authority);
  const qsizetype end = parts.query < 0 ? text.size() : parts.query;
  parts.at = text.lastIndexOf(u'@', end - 1);
  if (parts.at < parts.authority) parts.at = -1;
  if (parts.at >= 0) {
    parts.colon = text.indexOf(u':', parts.authority);
    if (parts.colon > parts.at) parts.colon = -1;
  }
  return parts;
}

}  // namespace

bool IsServerUri(const QString& dataSource) {
  const QString text = dataSource.trimmed();
  return std::any_of(std::begin(kSchemes), std::end(kSchemes), [&](QLatin1StringView scheme) {
    return text.startsWith(scheme, Qt::CaseInsensitive);
  });
}

QString NormalizedServerUri(const QString& uri) {
  QString text = uri.trimmed();
  const qsizetype scheme = text.indexOf(QLatin1String("://"));
  if (scheme > 0) text.replace(0, scheme, text.left(scheme).toLower());
  return text;
}

QString RedactUri(const QString& text) {
  const Parts parts = Split(text);
  if (parts.authority < 0) return text;
  QString out = text.left(parts.query < 0 ? text.size() : parts.query);
  if (parts.colon >= 0)
    out.replace(parts.colon + 1, parts.at - parts.colon - 1, QStringLiteral("***"));
  if (parts.query >= 0) {
    QStringList items = text.mid(parts.query + 1).split(u'&');
    for (QString& item : items) {
      const qsizetype equals = item.indexOf(u'=');
      if (equals >= 0 && IsPasswordKey(item.left(equals)))
        item = item.left(equals + 1) + QStringLiteral("***");
    }
    out += u'?' + items.join(u'&');
  }
  return out;
}

QStringList UriSecrets(const QString& uri) {
  QStringList secrets;
  const auto add = [&](const QString& secret) {
    for (const QString& form : {secret, Decoded(secret)})
      if (!form.isEmpty() && !secrets.contains(form)) secrets << form;
  };
  const Parts parts = Split(uri);
  if (parts.authority < 0) return secrets;
  if (parts.colon >= 0) add(uri.mid(parts.colon + 1, parts.at - parts.colon - 1));
  if (parts.query >= 0) {
    for (const QString& item : uri.mid(parts.query + 1).split(u'&')) {
      const qsizetype equals = item.indexOf(u'=');
      if (equals >= 0 && IsPasswordKey(item.left(equals))) add(item.mid(equals + 1));
    }
  }
  std::sort(secrets.begin(), secrets.end(),
            [](const QString& a, const QString& b) { return a.size() > b.size(); });
  return secrets;
}

}  // namespace tarvel::db
