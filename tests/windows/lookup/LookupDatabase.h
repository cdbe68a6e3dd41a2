// A private copy of the demo database with the pickers' test rows, and a context that reads it.
#pragma once

#include <QString>
#include <QStringList>

#include "db/Connection.h"
#include "startup/AppContext.h"
#include "startup/Startup.h"
#include "support/Demo.h"
#include "support/TempDir.h"

namespace tarvel::test {

class LookupDatabase {
 public:
  LookupDatabase() : path_(CopyDemoDatabase(dir_.Path())) {
    context.ConnectionString =
        QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path_;
    SetLookupColours(context);
    // ZZT1..3 are listed in this order for the seed ZZT (one of each way of being active); ZZT4
    // is disabled. Every field of the customer query holds a text, so none can be lost unseen.
    Execute(
        "insert into EMPLOYEE (ID, NAME, ODATE) values ('ZZE1', '測試業務', ''), "
        "('ZZE2', '已離職', '1150101'), ('ZZE3', '未填離職', NULL);"
        "insert into CUST (ID, SNAME, EMPNO, TEL1, RATE, PAYDATE, ADD3, NAM2, TNO, FAX, ADD1, "
        "不附回郵, NAME, 停用) values "
        "('ZZT1', '測試甲', 'ZZE1', '02-1', 0.05, '月結30天', '送一', '王一', '1', '09-1', '址一', "
        "'1', '甲公司', NULL),"
        "('ZZT2', '測試乙', 'ZZE1', '02-2', 0.05, '月結30天', '送二', '王二', '2', '09-2', '址二', "
        "'1', '乙公司', '0'),"
        "('ZZT3', '測試丙', 'ZZE1', '02-3', 0, '貨到付款', '送三', '王三', '3', '09-3', '址三', "
        "'0', '丙公司', ''),"
        "('ZZT4', '測試丁', 'ZZE1', '02-4', 0.05, '月結', '送四', '王四', '4', '09-4', '址四', "
        "'0', '丁公司', '1'),"
        "('ZZQ1', 'O''Neil 印刷', 'ZZE1', '', 0, '', '', '', '', '', '', '', 'O''Neil', NULL);"
        "insert into VENDER (ID, SNAME, RATE, TEL1, NAM2, 停用, ITEM9, ITEM14) values "
        "('ZZV1', '裁切甲', 0.05, '03-1', '李一', NULL, '1', '0'),"
        "('ZZV2', '其他乙', 0.05, '03-2', '李二', '0', '0', '1'),"
        "('ZZV3', '裁切停', 0.05, '03-3', '李三', '1', '1', '0');");
  }

  void Execute(const QString& sql) const { db::Connection::OpenFile(path_)->ExecuteScript(sql); }
  /// The first column of every row of `sql`, in order.
  QStringList Codes(const QString& sql) const {
    db::Recordset rows = db::Connection::OpenFile(path_)->OpenRecordset(sql);
    QStringList codes;
    for (; !rows.EOF_(); rows.MoveNext())
      codes << rows.Field(0).Text();
    return codes;
  }

  AppContext context;

 private:
  TempDir dir_;
  QString path_;
};

}  // namespace tarvel::test
