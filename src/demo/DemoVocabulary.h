// Words the demo generator builds names from: Traditional Chinese customers, items, papers,
// vendors and employees of a print shop.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace tarvel::demo {

/// An employee of the demo shop. Groups are the GROUP … GROUP19 values that are set (in order);
/// the rest stay empty.
struct DemoEmployee {
  QString id, name, title, extension;
  QStringList groups;
  int hiredYearsAgo = 0;
  int leftMonthsAgo = 0;  ///< 0 = still in service (ODATE = '')
};

/// A printed item type: its name stem, unit, classification and the steps it usually needs.
struct DemoItemType {
  QString stem;            ///< 型錄, 禮盒外盒 …
  QString unit;            ///< 本, 個, 張 …
  QString classification;  ///< value of 分類 (one of DemoVocabulary::classifications)
  bool box = false;        ///< die-cut, laminated and glued
  bool bound = false;      ///< needs binding
};

struct DemoVocabulary {
  QStringList nameFirst, nameSecond;       ///< two-character trade names: 永 + 豐
  QStringList trades, tradeSuffixes;       ///< 文具 / 股份有限公司
  QStringList streets, cities, areaCodes;  ///< area code i belongs to city i
  QStringList surnames, givenNames;
  QStringList itemPrefixes;  ///< 春季, 週年慶 …
  std::vector<DemoItemType> itemTypes;
  QStringList papers, sheetSizes, pressSizes, paperFormats;
  QStringList coatings, laminations, dieCuts, gluings, cuttings, bindings, foils, extras;
  QStringList categories;       ///< PHRASE Q-工單類別 / 類別: the KIND values
  QStringList classifications;  ///< PHRASE Z-雜項 / 分類: the 分類 values
  QStringList vendorKinds;      ///< 印前 … 其他, the order of VENDER.ITEM1..ITEM14
  QStringList vendorWords;      ///< a trade word per vendor kind (製版, 紙業 …)
  QStringList reworkKinds;      ///< 印刷, 工單, 製版
  QStringList reworkReasons, plateRemakeReasons;
  std::vector<DemoEmployee> employees;

  static const DemoVocabulary& Get();
};

}  // namespace tarvel::demo
