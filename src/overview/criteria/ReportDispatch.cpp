#include "overview/criteria/ReportDispatch.h"

namespace tarvel {

QString LayoutForChoice(const OverviewFormState& form) {
  switch (form.sopt選擇報表) {
    case k表1:
      if (form.chk客戶單號) return QStringLiteral("rptTarvel2");
      if (form.chk印刀模代號) return QStringLiteral("rptTarvel5");
      if (form.chk印合版資料) return QStringLiteral("rptTarvel6_1");
      if (form.chk不印金額) return QStringLiteral("rptTarvel7");
      return QStringLiteral("rptTarvel_1");
    case k表2:
      return form.chk依業務印表 ? QStringLiteral("rptTarvel3_1") : QStringLiteral("rptTarvel3");
    case k表3:
      return form.chk依業務印表1 ? QStringLiteral("rptTarvel4_1") : QStringLiteral("rptTarvel4");
    case k表4含合版:
      return QStringLiteral("rptTarvel8");
    case k表5:
      return QStringLiteral("rptTarvel9");
    case k未送總表:
      return QStringLiteral("rpt工單未出明細_橫");
    case k補版明細:
      return QStringLiteral("rptTarvel10");
    default:
      return {};
  }
}

}  // namespace tarvel
