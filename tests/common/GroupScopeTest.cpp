#include <gtest/gtest.h>

#include <QRegularExpression>

#include "common/GroupScope.h"

namespace tarvel {
namespace {

QString ColumnName(int column) {
  return column == 0 ? QStringLiteral("[GROUP]") : QStringLiteral("[GROUP%1]").arg(column);
}

// The alternatives a group adds, as the query builder and the layouts expect them.
QString Alternatives(const QString& qualifier, const QString& value) {
  QString text;
  for (int column = 0; column < 20; ++column) {
    text += QStringLiteral(" or ") + qualifier + ColumnName(column) + QStringLiteral(" = '") +
            value + QStringLiteral("' ");
  }
  return text;
}

TEST(GroupScope, AppendsOneAlternativePerGroupAndColumn) {
  const QString condition = QStringLiteral(" and (EMPNO = 'E01' or CUST in (select ID) ");
  std::array<QString, 20> groups;

  EXPECT_EQ(GroupScopeFilter(condition, QString(), groups), condition);

  groups[2] = QStringLiteral("A1");
  const QString third = GroupScopeFilter(condition, QString(), groups);
  EXPECT_EQ(third, condition + Alternatives(QString(), QStringLiteral("A1")));
  EXPECT_EQ(third.count(QStringLiteral(" or ")), 21);  // twenty added to the caller's one
  EXPECT_TRUE(third.mid(condition.size()).startsWith(QStringLiteral(" or [GROUP] = 'A1' ")));
  EXPECT_TRUE(third.endsWith(QStringLiteral(" or [GROUP19] = 'A1' ")));

  groups[0] = QStringLiteral("B2");
  groups[19] = QStringLiteral("A1");  // equal groups repeat their alternatives
  EXPECT_EQ(GroupScopeFilter(condition, QString(), groups),
            condition + Alternatives(QString(), QStringLiteral("B2")) +
                Alternatives(QString(), QStringLiteral("A1")) +
                Alternatives(QString(), QStringLiteral("A1")));
}

TEST(GroupScope, PrefixQualifiesEveryColumn) {
  std::array<QString, 20> groups;
  groups[5] = QStringLiteral("業務一");
  for (const QString& prefix : {QStringLiteral("EMPLOYEE"), QStringLiteral("歷史工單明細2")}) {
    const QString result = GroupScopeFilter(QStringLiteral("x"), prefix, groups);
    EXPECT_EQ(result, QStringLiteral("x") + Alternatives(prefix + u'.', QStringLiteral("業務一")));
    // no unqualified column slips through
    EXPECT_EQ(result.count(QStringLiteral(" or [")), 0) << prefix.toStdString();
  }
}

TEST(GroupScope, ApostrophesInGroupsStayInsideTheLiteral) {
  std::array<QString, 20> groups;
  groups[0] = QStringLiteral("O'Neil");
  groups[1] = QStringLiteral("' or 1=1 or '");
  const QString result = GroupScopeFilter(QString(), QString(), groups);
  EXPECT_EQ(result, Alternatives(QString(), QStringLiteral("O''Neil")) +
                        Alternatives(QString(), QStringLiteral("'' or 1=1 or ''")));
  // Every literal closes where it should: removing the doubled apostrophes and the quoted
  // values leaves only the forty comparisons.
  QString skeleton = result;
  skeleton.replace(QStringLiteral("''"), QString());
  skeleton.replace(QRegularExpression(QStringLiteral("'[^']*'")), QStringLiteral("?"));
  EXPECT_EQ(skeleton.count(QStringLiteral(" or ")), 40);
  EXPECT_FALSE(skeleton.contains(u'\''));
}

}  // namespace
}  // namespace tarvel
