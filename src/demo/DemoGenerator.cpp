#include "demo/DemoGenerator.h"

#include <QSet>
#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <map>
#include <vector>

#include "db/Connection.h"
#include "demo/DemoDatabase.h"
#include "demo/DemoRandom.h"
#include "demo/DemoVocabulary.h"
#include "platform/Error.h"

namespace tarvel::demo {

namespace {

using db::Value;
using namespace Qt::StringLiterals;

// Vendor kinds, in the order of VENDER.ITEM1 … ITEM14 (DemoVocabulary::vendorKinds).
enum VendorKind {
  k印前,
  k製版,
  k紙品,
  k印刷,
  k上光,
  k裱紙,
  k軋工,
  k糊工,
  k裁工,
  k裝訂,
  k刀模,
  k燙金,
  k運送,
  k其他,
  kVendorKindCount
};

QString Utf8(const char* text) {
  return QString::fromUtf8(text);
}

/// Seven-digit ROC date text yyyMMdd, written without QString::arg: it runs millions of times.
QString RocDigits(const QDate& day) {
  const int y = day.year() - 1911;
  const int m = day.month();
  const int d = day.day();
  const char text[7] = {char('0' + y / 100 % 10), char('0' + y / 10 % 10), char('0' + y % 10),
                        char('0' + m / 10),       char('0' + m % 10),      char('0' + d / 10),
                        char('0' + d % 10)};
  return QString::fromLatin1(text, 7);
}

/// `prefix` followed by `number` zero-padded to `width` digits.
QString Code(const QString& prefix, std::int64_t number, int width) {
  return prefix + QString::number(number).rightJustified(width, QLatin1Char('0'));
}

double RoundTo(double value, int decimals) {
  const double scale = std::pow(10.0, decimals);
  return std::round(value * scale) / scale;
}

/// One prepared INSERT, bound and run once per row. Empty texts and NULLs are both written as
/// such: the suite tells them apart (FDATE, YN, 停用 … hold both).
class TableWriter {
 public:
  TableWriter(db::Connection& connection, const QString& table, const QStringList& columns)
      : table_(table),
        columnCount_(static_cast<int>(columns.size())),
        command_(connection.Prepare(InsertText(table, columns))) {}

  void Add(std::initializer_list<Value> values) { AddRange(values); }

  template <typename Range>
  void AddRange(const Range& values) {
    if (static_cast<int>(std::size(values)) != columnCount_)
      throw Error(QStringLiteral("demo: %1 values for %2 columns of [%3]")
                      .arg(std::size(values))
                      .arg(columnCount_)
                      .arg(table_));
    int index = 1;
    for (const Value& value : values)
      command_.Bind(index++, value);
    command_.Execute();
    ++rows_;
  }

  const QString& Table() const { return table_; }
  std::int64_t Rows() const { return rows_; }

 private:
  static QString InsertText(const QString& table, const QStringList& columns) {
    QStringList bracketed, marks;
    for (const QString& c : columns) {
      bracketed << QLatin1Char('[') + c + QLatin1Char(']');
      marks << QStringLiteral("?");
    }
    return QStringLiteral("insert into [%1] (%2) values (%3)")
        .arg(table, bracketed.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
  }

  QString table_;
  int columnCount_;
  db::Command command_;
  std::int64_t rows_ = 0;
};

QStringList Columns(const char* spaceSeparated) {
  return Utf8(spaceSeparated).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QStringList Numbered(const QString& stem, int first, int last) {
  QStringList names;
  for (int i = first; i <= last; ++i)
    names << stem + QString::number(i);
  return names;
}

struct Vendor {
  Value id;
  bool disabled = false;
};

struct Customer {
  QString idText, snameText;
  Value id, sname;
  int salesperson = 0;  ///< index into the employees
  std::vector<int> products;
};

struct Product {
  QString unit;
  Value code, desc, unitValue, pressSize, paper, paperFormat, dieCode, classification;
  int front = 0, back = 0;  ///< colour counts
  bool bound = false;
  double basePrice = 0;
  std::vector<std::pair<int, Value>> steps;  ///< steps done by vendors: vendor kind, text
  int dieMaker = -1, dieCutter = -1;         ///< vendor indexes when the item is die-cut
};

class Generator {
 public:
  Generator(db::Connection& connection, const DemoOptions& options, QDate today)
      : db_(connection),
        options_(options),
        today_(today),
        words_(DemoVocabulary::Get()),
        random_(options.seed) {
    windowStart_ = QDate(today.year(), today.month(), 1).addMonths(-24);
    for (QDate d = windowStart_; d <= today_.addDays(kDaysAfterToday); d = d.addDays(1))
      rocDays_.push_back(RocDigits(d));
    rocValues_.assign(rocDays_.begin(), rocDays_.end());
  }

  void Run(DemoSummary& summary) {
    // The demo, its schema included, appears whole or not at all.
    db::Transaction transaction(db_);
    db_.CreateSchema(DemoSchemaText());
    WriteSettings();
    WriteUsers(summary);
    WritePhrases();
    WriteEmployees();
    WriteVendors();
    WriteCustomers();
    WriteProducts();
    WriteWorkOrders(summary);
    transaction.Commit();
    for (const auto& [table, rows] : tableRows_)
      summary.tables.push_back({table, rows, false});
    for (const auto& [view, rows] : viewRows_)
      summary.tables.push_back({view, rows, true});
  }

 private:
  static constexpr int kDaysAfterToday = 90;

  void Count(const TableWriter& writer) { tableRows_.emplace_back(writer.Table(), writer.Rows()); }

  /// ROC text of `day`, from the cache for the days the orders use.
  QString Roc(const QDate& day) const {
    const qint64 index = windowStart_.daysTo(day);
    if (index >= 0 && index < static_cast<qint64>(rocDays_.size()))
      return rocDays_[static_cast<size_t>(index)];
    return RocDigits(day);
  }

  Value RocValue(const QDate& day) const {
    const qint64 index = windowStart_.daysTo(day);
    if (index >= 0 && index < static_cast<qint64>(rocValues_.size()))
      return rocValues_[static_cast<size_t>(index)];
    return RocDigits(day);
  }

  /// An open value as the suite leaves it: NULL or the empty text, both occur.
  Value Open() { return random_.Chance(50) ? Value() : Value(QString(u""_s)); }

  QString PersonName() { return random_.Pick(words_.surnames) + random_.Pick(words_.givenNames); }

  QString Phone(int city) {
    return QStringLiteral("(%1)%2-%3")
        .arg(words_.areaCodes[city])
        .arg(random_.Between(2000, 8999))
        .arg(random_.Between(1000, 9999));
  }

  QString Address(int city) {
    return words_.cities[city] + random_.Pick(words_.streets) +
           QString::number(random_.Between(1, 300)) + u"號"_s;
  }

  QString TradeName() { return random_.Pick(words_.nameFirst) + random_.Pick(words_.nameSecond); }

  // --- settings read at start-up ------------------------------------------------------------

  void WriteSettings() {
    const QString company = options_.company;
    {
      TableWriter w(db_, u"COMPANY"_s, Columns("COMPANY ADD ADD1 TNO TEL FAX VER"));
      w.Add({company, u"新北市中和區中正路788號"_s, u"新北市中和區中正路790號3樓"_s, u"24681357"_s,
             u"(02)2222-5168"_s, u"(02)2222-5169"_s, u"8.5"_s});
      Count(w);
    }
    {
      TableWriter w(db_, u"COMPANY1"_s, Columns("COMPANY ADD TNO TEL FAX"));
      w.Add({company + u"桃園廠"_s, u"桃園市龜山區工業一路12號"_s, u"24681358"_s, u"(03)328-1234"_s,
             u"(03)328-1235"_s});
      Count(w);
      TableWriter w2(db_, u"COMPANY2"_s, Columns("COMPANY ADD TNO TEL FAX"));
      w2.Add({company.left(2) + u"紙器有限公司"_s, u"新北市五股區五工路66號"_s, u"53712468"_s,
              u"(02)2299-6600"_s, u"(02)2299-6601"_s});
      Count(w2);
    }
    {
      // ITEM18 '0': margins against cost. The other settings only need to exist.
      TableWriter w(db_, u"SYSTEM"_s, QStringList{u"MFUN"_s} + Numbered(u"ITEM"_s, 0, 87));
      std::vector<Value> values{Value(u"1"_s)};
      for (int i = 0; i <= 87; ++i)
        values.emplace_back(i == 18 ? u"0"_s : (i % 7 == 3 ? u"1"_s : u"0"_s));
      w.AddRange(values);
      Count(w);
    }
    {
      TableWriter w(
          db_, u"SYSTEM1"_s,
          Columns(
              "發票開立方式 發票平台路徑 ITEM87 ITEM88 ITEM89 ITEM102 ITEM110 ITEM119 ITEM120"));
      w.Add({u"電子發票"_s, u"C:\\EINVOICE\\"_s, u"0"_s, u"0"_s, u"1"_s, u"0"_s, u"0"_s, u"0"_s,
             u"0"_s});
      Count(w);
    }
    {
      TableWriter w(db_, u"SYSOS"_s,
                    Columns("VM XP WIN7 WIN7C WIN8 WIN8C WIN10 WIN10C WIN11 WIN11C"));
      w.Add({u"0"_s, u"0"_s, u"0"_s, u"0"_s, u"0"_s, u"0"_s, u"1"_s, u"1"_s, u"1"_s, u"1"_s});
      Count(w);
    }
    {
      TableWriter w(db_, u"啟用發送EAMIL"_s, Columns("啟用發送EAMIL"));
      w.Add({u"0"_s});
      Count(w);
    }
    {
      TableWriter w(db_, u"SYSLOAD"_s, Columns("ID COMPUTER EXCEL"));
      w.Add({u"DEMO-PC\\demo"_s, u"DEMO-PC"_s, u"C:\\報表\\"_s});
      if (!options_.machineUserName.isEmpty() &&
          options_.machineUserName.compare(u"DEMO-PC\\demo"_s, Qt::CaseInsensitive) != 0)
        w.Add({options_.machineUserName, options_.computerName, options_.excelFolder});
      Count(w);
    }
    {
      TableWriter w(db_, u"SYSUSER1"_s, Columns("ID FUNC LPID"));
      Count(w);
    }
  }

  // --- users ----------------------------------------------------------------------------------

  void WriteUsers(DemoSummary& summary) {
    static const QStringList rights = Columns(
        "工單作業權限 生產管理權限 成本分析權限 基本資料權限 應收帳款權限 應付帳款權限 "
        "物料管理權限 產品管理權限 "
        "印刷作業權限 製版作業權限 發票權限 其它權限 報價權限 維護權限 會計權限 績效權限 稽核權限 "
        "速算權限 "
        "運送權限 授信額度權限 產能權限 CRM權限 網印權限 代收權限 雜支權限 刀模權限 標籤權限 "
        "公告權限 寄庫權限 "
        "捲筒權限 接稿權限");
    static const QStringList details = Columns(
        "工單作業細部 生產管理細部 成本分析細部 基本資料細部 應收帳款細部 應付帳款細部 "
        "物料管理細部 產品管理細部 "
        "印刷作業細部 製版作業細部 發票細部 其它細部 報價細部 維護細部 會計細部 績效細部 稽核細部 "
        "速算細部 "
        "運送細部 產能細部 CRM細部 網印細部 代收細部 雜支細部 刀模細部 標籤細部 公告細部 寄庫細部 "
        "捲筒細部 "
        "接稿細部");
    TableWriter users(db_, u"使用者資料"_s,
                      QStringList{u"使用者"_s, u"估價審單金額"_s, u"採購審單金額"_s} + rights);
    TableWriter detail(db_, u"使用者資料明細"_s, QStringList{u"使用者"_s} + details);

    const QString open(60, QLatin1Char('0'));
    QString restricted = open;
    restricted[39] = QLatin1Char('1');  // position 40: own customers and groups only
    restricted[40] = QLatin1Char('1');  // position 41: no Excel export

    struct Row {
      DemoUser user;
      QString moduleRights, workOrderDetail;
      double approvalLimit;
    };
    const std::vector<Row> rows = {
        {{u"系統管理員"_s, u"系統管理員"_s, QString(),
          u"administrator (-AD= equals -NAME=): every work order, Excel allowed"_s},
         QString(10, QLatin1Char('1')),
         open,
         9999999},
        {{u"王小明"_s, QString(), u"A001"_s,
          u"restricted salesperson: only his own customers, his CUSTE customers and group 北區; "
          u"no Excel export"_s},
         QString(10, QLatin1Char('1')),
         restricted,
         50000},
        {{u"林淑芬"_s, QString(), u"A003"_s,
          u"salesperson without restrictions (no -AD=, rights text all 0)"_s},
         QString(10, QLatin1Char('1')),
         open,
         100000},
    };
    for (const Row& row : rows) {
      std::vector<Value> values{row.user.userName, row.approvalLimit, row.approvalLimit / 2};
      for (qsizetype i = 0; i < rights.size(); ++i)
        values.emplace_back(row.moduleRights);
      users.AddRange(values);
      std::vector<Value> flags{row.user.userName, row.workOrderDetail};
      for (qsizetype i = 1; i < details.size(); ++i)
        flags.emplace_back(open);
      detail.AddRange(flags);
      summary.users.push_back(row.user);
    }
    Count(users);
    Count(detail);
  }

  void WritePhrases() {
    TableWriter w(db_, u"PHRASE"_s, Columns("KIND ITEM ID DESC"));
    int id = 0;
    for (const QString& c : words_.categories)
      w.Add({u"Q-工單類別"_s, u"類別"_s, Code(QString(), ++id, 3), c});
    id = 0;
    for (const QString& c : words_.classifications)
      w.Add({u"Z-雜項"_s, u"分類"_s, Code(QString(), ++id, 3), c});
    id = 0;
    for (const QString& unit : Columns("張 本 個 盒 份 套"))
      w.Add({u"Z-雜項"_s, u"單位"_s, Code(QString(), ++id, 3), unit});
    Count(w);
  }

  // --- master data ----------------------------------------------------------------------------

  void WriteEmployees() {
    QStringList columns = Columns("ID NAME IDATE ODATE 職稱 分機代號 GROUP");
    columns += Numbered(u"GROUP"_s, 1, 19);
    TableWriter w(db_, u"EMPLOYEE"_s, columns);
    int index = 0;
    for (const DemoEmployee& e : words_.employees) {
      const QDate hired = today_.addYears(-e.hiredYearsAgo).addDays(-random_.Below(200));
      QString leftOn;
      if (e.leftMonthsAgo > 0) {
        const QDate left = today_.addMonths(-e.leftMonthsAgo);
        leftOn = Roc(left);
        leaveDates_.push_back(left);
      } else {
        leaveDates_.push_back(QDate());
      }
      employeeIds_.emplace_back(e.id);
      std::vector<Value> values{e.id, e.name, Roc(hired), leftOn, e.title, e.extension};
      for (int g = 0; g < 20; ++g) {
        if (g < e.groups.size())
          values.emplace_back(e.groups[g]);
        else  // unused group slots: the suite leaves both forms behind
          values.push_back(index % 2 == 0 ? Value(QString(u""_s)) : Value());
      }
      w.AddRange(values);
      ++index;
    }
    Count(w);
    for (size_t i = 0; i < words_.employees.size(); ++i) {
      const QChar role = words_.employees[i].id.at(0);
      (role == QLatin1Char('A')   ? sales_
       : role == QLatin1Char('B') ? keyers_
                                  : clerks_)
          .push_back(static_cast<int>(i));
    }
  }

  void WriteVendors() {
    QStringList columns = Columns("ID SNAME NAME TEL1 NAM2 RATE 停用");
    columns += Numbered(u"ITEM"_s, 1, 14);
    TableWriter w(db_, u"VENDER"_s, columns);
    QSet<QString> names;
    vendorsByKind_.assign(kVendorKindCount, {});
    for (int kind = 0; kind < kVendorKindCount; ++kind) {
      const int count = static_cast<int>(random_.Between(2, 3));
      for (int n = 0; n < count; ++n) {
        Vendor vendor;
        vendor.id = Code(u"V"_s, static_cast<std::int64_t>(vendors_.size()) + 1, 3);
        // The first vendor of every kind stays active, so each lookup category has one; the
        // last 運送 vendor is always disabled, so the demo has a disabled vendor for certain.
        vendor.disabled = (kind == k運送 && n == count - 1) || (n > 0 && random_.Chance(10));
        QString sname;
        do
          sname = TradeName() + words_.vendorWords[kind];
        while (names.contains(sname));
        names.insert(sname);
        const int city = static_cast<int>(random_.Below(words_.cities.size()));
        std::vector<Value> values{
            vendor.id,    sname, sname + random_.Pick(words_.tradeSuffixes),    Phone(city),
            PersonName(), 0.05,  vendor.disabled ? Value(u"1"_s) : OpenOrZero()};
        // Cutting and folding shops often bind as well; die makers often die-cut.
        const int second = kind == k裁工 ? k裝訂 : kind == k刀模 ? k軋工 : -1;
        for (int item = 0; item < kVendorKindCount; ++item)
          values.emplace_back(item == kind || (item == second && n == 0) ? u"1"_s : u"0"_s);
        w.AddRange(values);
        vendorsByKind_[kind].push_back(static_cast<int>(vendors_.size()));
        if (second >= 0 && n == 0)
          vendorsByKind_[second].push_back(static_cast<int>(vendors_.size()));
        vendors_.push_back(vendor);
      }
    }
    Count(w);
  }

  /// An active flag as the suite stores it: '0', '' or NULL.
  Value OpenOrZero() {
    const auto r = random_.Below(3);
    return r == 0 ? Value(u"0"_s) : r == 1 ? Value(QString(u""_s)) : Value();
  }

  /// An active vendor of `kind`.
  int VendorOf(int kind) {
    const std::vector<int>& list = vendorsByKind_[kind];
    for (int attempt = 0; attempt < 4; ++attempt) {
      const int v =
          list[static_cast<size_t>(random_.Below(static_cast<std::int64_t>(list.size())))];
      if (!vendors_[v].disabled) return v;
    }
    return list.front();
  }

  void WriteCustomers() {
    const std::int64_t count = std::clamp<std::int64_t>(options_.orders / 25, 40, 4000);
    TableWriter w(
        db_, u"CUST"_s,
        Columns("ID SNAME NAME EMPNO TEL1 FAX NAM2 TNO ADD1 ADD3 RATE PAYDATE 不附回郵 停用"));
    QSet<QString> names;
    // Salesperson shares of the customers: A001 … A006.
    static constexpr std::array<int, 6> kShare = {20, 20, 18, 17, 10, 15};
    for (std::int64_t i = 0; i < count; ++i) {
      Customer c;
      c.idText = Code(u"C"_s, i + 1, 4);
      c.id = c.idText;
      QString sname;
      for (int attempt = 0; attempt < 20; ++attempt) {
        sname = TradeName() + random_.Pick(words_.trades);
        if (!names.contains(sname)) break;
      }
      if (names.contains(sname)) sname += QString::number(i + 1);
      names.insert(sname);
      c.sname = sname;
      c.snameText = sname;
      int pick = static_cast<int>(random_.Below(100));
      c.salesperson = 0;
      while (pick >= kShare[static_cast<size_t>(c.salesperson)])
        pick -= kShare[static_cast<size_t>(c.salesperson++)];
      // The last customer is always disabled, so the demo has one for certain.
      const bool disabled = i == count - 1 || random_.Chance(5);
      const int city = static_cast<int>(random_.Below(words_.cities.size()));
      const QString address = Address(city);
      w.Add({c.id, sname, sname + random_.Pick(words_.tradeSuffixes),
             words_.employees[static_cast<size_t>(sales_[static_cast<size_t>(c.salesperson)])].id,
             Phone(city), Phone(city), PersonName(),
             Code(QString(), random_.Between(10000000, 99999999), 8), address,
             random_.Chance(70) ? address : Address(city), 0.05,
             random_.Pick(Columns("25 月結30天 月結60天 貨到付款 10")),
             random_.Chance(20) ? u"1"_s : u"0"_s, disabled ? Value(u"1"_s) : OpenOrZero()});
      customers_.push_back(std::move(c));
    }
    Count(w);

    // Customers assigned to a salesperson besides his own (CUSTE): A001 looks after some of the
    // southern customers, A003 after some of A002's.
    TableWriter e(db_, u"CUSTE"_s, Columns("ID EMPNO"));
    const auto assign = [&](int owner, int from, int howMany) {
      std::vector<int> picked;
      for (size_t i = 0; i < customers_.size() && static_cast<int>(picked.size()) < howMany; ++i)
        if (customers_[i].salesperson == from && random_.Chance(30))
          picked.push_back(static_cast<int>(i));
      for (int i : picked)
        e.Add({customers_[static_cast<size_t>(i)].id,
               words_.employees[static_cast<size_t>(sales_[static_cast<size_t>(owner)])].id});
    };
    assign(0, 2, 6);
    assign(0, 3, 2);
    assign(2, 1, 3);
    Count(e);
  }

  void WriteProducts() {
    TableWriter w(db_, u"產品資料"_s,
                  Columns("CODE CUST DESC UNIT SPEC 紙品 COLOR1 COLOR2 上光 裱紙 軋工 糊工 裁工 "
                          "裝訂 燙金 其他 STOCK"));
    std::int64_t serial = 0;
    for (size_t ci = 0; ci < customers_.size(); ++ci) {
      Customer& c = customers_[ci];
      const int count = static_cast<int>(random_.Between(2, 8));
      for (int n = 0; n < count; ++n) {
        Product p;
        const DemoItemType& type = words_.itemTypes[static_cast<size_t>(
            random_.Below(static_cast<std::int64_t>(words_.itemTypes.size())))];
        p.code = c.idText + u"-"_s + Code(QString(), n + 1, 3);
        QString desc =
            (random_.Chance(70) ? random_.Pick(words_.itemPrefixes) : QString()) + type.stem;
        if (random_.Chance(25)) desc = c.snameText.left(2) + desc;
        p.desc = desc;
        p.unit = type.unit;
        p.unitValue = type.unit;
        p.classification = type.classification;
        p.bound = type.bound;
        p.paper = random_.Pick(words_.papers);
        p.pressSize = random_.Pick(words_.pressSizes);
        p.paperFormat = random_.Pick(words_.paperFormats);
        const QString colour1 = random_.Pick(Columns("4 4 4 1 2 5"));
        const QString colour2 = random_.Chance(55) ? QString() : random_.Pick(Columns("1 4 2"));
        p.front = colour1.toInt();
        p.back = colour2.toInt();
        // Prices per unit: cards and sheets cheap, boxes and books dear.
        const double low = type.box ? 3 : type.bound ? 15 : 0.3;
        const double high = type.box ? 28 : type.bound ? 160 : 6;
        p.basePrice = RoundTo(low * std::pow(high / low, random_.Unit()), low < 1 ? 2 : 1);

        QString steps[8];  // 上光 裱紙 軋工 糊工 裁工 裝訂 燙金 其他
        if (random_.Chance(45)) steps[0] = random_.Pick(words_.coatings);
        if (type.box && random_.Chance(60)) steps[1] = random_.Pick(words_.laminations);
        if (type.box || random_.Chance(8)) steps[2] = random_.Pick(words_.dieCuts);
        if (type.box && random_.Chance(80)) steps[3] = random_.Pick(words_.gluings);
        if (random_.Chance(50)) steps[4] = random_.Pick(words_.cuttings);
        if (type.bound) steps[5] = random_.Pick(words_.bindings);
        if (random_.Chance(12)) steps[6] = random_.Pick(words_.foils);
        if (random_.Chance(10)) steps[7] = random_.Pick(words_.extras);
        // Cutting and the small extras are done in the shop; the other steps go to vendors and
        // become process lines of the work order.
        static constexpr std::array<int, 8> kStepVendor = {k上光, k裱紙, k軋工, k糊工,
                                                           -1,    k裝訂, k燙金, -1};
        for (int s = 0; s < 8; ++s)
          if (!steps[s].isEmpty() && kStepVendor[static_cast<size_t>(s)] >= 0)
            p.steps.emplace_back(kStepVendor[static_cast<size_t>(s)], steps[s]);
        if (!steps[2].isEmpty()) {
          p.dieCode = Code(u"D"_s, ++serial, 5);
          p.dieMaker = VendorOf(k刀模);
          p.dieCutter = VendorOf(k軋工);
        }
        const double stock =
            random_.Chance(50) ? 0 : static_cast<double>(random_.Between(1, 50) * 100);
        w.Add({p.code, c.id, p.desc, p.unitValue, random_.Pick(words_.sheetSizes), p.paper, colour1,
               colour2, steps[0], steps[1], steps[2], steps[3], steps[4], steps[5], steps[6],
               steps[7], stock});
        c.products.push_back(static_cast<int>(products_.size()));
        products_.push_back(std::move(p));
      }
    }
    Count(w);
  }

  // --- work orders ----------------------------------------------------------------------------

  double Quantity(const QString& unit) {
    static const std::array<double, 9> kSheets = {500,   1000,  2000,  3000, 5000,
                                                  10000, 20000, 30000, 50000};
    static const std::array<double, 8> kPieces = {200, 300, 500, 1000, 2000, 3000, 5000, 10000};
    static const std::array<double, 6> kBoxes = {2, 3, 5, 10, 20, 50};
    if (unit == u"張"_s) return random_.Pick(std::span<const double>(kSheets));
    if (unit == u"盒"_s) return random_.Pick(std::span<const double>(kBoxes));
    return random_.Pick(std::span<const double>(kPieces));
  }

  /// The salesperson (or keyer) index to use on `day`: one who has left by then hands over to
  /// a colleague of the same group.
  int OnDuty(int employee, const QDate& day) const {
    const QDate& left = leaveDates_[static_cast<size_t>(employee)];
    if (!left.isValid() || day < left) return employee;
    return employee == sales_[4] ? sales_[5] : keyers_[0];
  }

  // What the orders are written to, the texts they repeat, and what is counted on the way.
  struct OrderRun {
    TableWriter orders, lines, combined, crowd, plates, dies, reworks, stocked;
    // Texts that repeat on millions of rows are made into values once: a value made from a text
    // copies it, a copied value only counts a reference.
    Value y{u"Y"_s}, no{u"N"_s}, empty{u""_s}, printing{u"印刷"_s}, combinedKind{u"合版"_s},
        singleKind{u"單版"_s}, ctp{u"CTP版"_s}, ps{u"PS版"_s};
    std::vector<Value> numbers, categories, vendorKinds, reworkKinds;
    int proofCategory = -1, outsourcedCategory = -1;
    std::int64_t unshipped = 0, proofs = 0, orderLines = 0, combinedRows = 0, keptPlates = 0;
  };

  // One order's facts, which its detail rows repeat.
  struct Order {
    Value po;
    const Product* product = nullptr;
    int category = 0;
    double qty = 0, price = 0;
    bool finished = false;
    QDate finishDay;
    bool isCombined = false;
  };

  void WriteWorkOrders(DemoSummary& summary) {
    OrderRun run{
        TableWriter(
            db_, u"工單主檔"_s,
            Columns(
                "PO ODATE CUST EMPNO EMPNO1 工務人員代號 KIND 分類 CUSTNO 採購單號 CODE QTY PRICE "
                "AMT OTAMT COST PDATE FDATE FSEND 不送貨 發票號碼 發票日期 YN 種類 已出數量")),
        TableWriter(
            db_, u"工單製程"_s,
            Columns(
                "PO NO DESC1 ITEM SPEC VENDER REM 色數正 色數反 開數1 耗時 生產量 QTY2 令數 FREE")),
        TableWriter(
            db_, u"合版明細"_s,
            Columns("PO NO 合版客戶簡稱 合版代號 合版名稱 合版數量 合版單價 合版小計 合版單位")),
        TableWriter(db_, u"CROWD"_s, Columns("PO MEMB")),
        TableWriter(db_, u"PLATE"_s,
                    Columns("PO NO SPEC SIZE COLOR1 COLOR2 PLAT VENDER 種類 留版")),
        TableWriter(db_, u"刀模"_s, Columns("PO REM VENDER VENDER1")),
        TableWriter(db_, u"重工"_s, Columns("PO NO 種類 QTY PRICE AMT SUM PDATE 原因")),
        TableWriter(db_, u"工單產品入庫數"_s, Columns("PO PID 入庫數量"))};
    for (int i = 0; i <= 9; ++i)
      run.numbers.emplace_back(QString::number(i));
    for (const QString& c : words_.categories)
      run.categories.emplace_back(c);
    for (const QString& k : words_.vendorKinds)
      run.vendorKinds.emplace_back(k);
    for (const QString& k : words_.reworkKinds)
      run.reworkKinds.emplace_back(k);
    run.proofCategory = static_cast<int>(words_.categories.indexOf(u"打樣"_s));
    run.outsourcedCategory = static_cast<int>(words_.categories.indexOf(u"外包"_s));

    // Order dates spread evenly over the window, numbered per month in date order.
    const std::int64_t n = options_.orders;
    const std::int64_t span = windowStart_.daysTo(today_) + 1;
    std::vector<std::int32_t> offsets(static_cast<size_t>(n));
    for (auto& o : offsets)
      o = static_cast<std::int32_t>(random_.Below(span));
    std::sort(offsets.begin(), offsets.end());
    std::map<int, std::int64_t> perMonth;
    for (auto o : offsets) {
      const QDate d = windowStart_.addDays(o);
      ++perMonth[d.year() * 100 + d.month()];
    }
    std::int64_t busiest = 0;
    for (const auto& [month, count] : perMonth)
      busiest = std::max(busiest, count);
    const int width = std::max(4, static_cast<int>(QString::number(busiest).size()));

    int month = -1;
    std::int64_t sequence = 0;
    QString poPrefix;
    for (std::int64_t i = 0; i < n; ++i) {
      const QDate day = windowStart_.addDays(offsets[static_cast<size_t>(i)]);
      const int thisMonth = day.year() * 100 + day.month();
      if (thisMonth != month) {
        month = thisMonth;
        sequence = 0;
        poPrefix = Roc(day).left(5);
      }
      const Order order =
          WriteOrder(run, Value(poPrefix + Code(QString(), ++sequence, width)), day);
      WriteSteps(run, order);
      WriteCombined(run, order);
      WritePlatesAndReworks(run, order);
    }
    for (const TableWriter* w : {&run.orders, &run.lines, &run.combined, &run.crowd, &run.plates,
                                 &run.dies, &run.reworks, &run.stocked})
      Count(*w);

    viewRows_ = {{u"歷史工單明細"_s, n},
                 {u"歷史工單明細1"_s, n},
                 {u"歷史工單明細2"_s, n},
                 {u"歷史工單明細3"_s, run.orderLines},
                 {u"歷史工單明細4"_s, run.combinedRows},
                 {u"工單未出明細"_s, run.unshipped},
                 {u"工單生產報表"_s, n},
                 {u"重工明細表"_s, run.reworks.Rows()},
                 {u"打樣明細表"_s, run.proofs},
                 {u"留版明細表4"_s, run.keptPlates},
                 {u"刀模明細表"_s, run.dies.Rows()}};
    summary.firstOrderDate = n > 0 ? Roc(windowStart_.addDays(offsets.front())) : QString();
    summary.lastOrderDate = n > 0 ? Roc(windowStart_.addDays(offsets.back())) : QString();
  }

  // The order itself (and its finished goods in stock); its facts for the detail rows.
  Order WriteOrder(OrderRun& run, const Value& po, const QDate& day) {
    TableWriter& orders = run.orders;
    TableWriter& stocked = run.stocked;
    const Value &y = run.y, &no = run.no, &empty = run.empty;
    const std::vector<Value>& categories = run.categories;
    const qint64 age = day.daysTo(today_);

    // Big customers order more: the square skews the choice towards the first codes.
    const double u = random_.Unit();
    const Customer& customer =
        customers_[static_cast<size_t>(u * u * static_cast<double>(customers_.size()))];
    const Product& product = products_[static_cast<size_t>(customer.products[static_cast<size_t>(
        random_.Below(static_cast<std::int64_t>(customer.products.size())))])];
    const int salesperson = OnDuty(
        random_.Chance(90)
            ? sales_[static_cast<size_t>(customer.salesperson)]
            : sales_[static_cast<size_t>(random_.Below(static_cast<std::int64_t>(sales_.size())))],
        day);
    const int keyer = OnDuty(
        keyers_[static_cast<size_t>(random_.Below(static_cast<std::int64_t>(keyers_.size())))],
        day);
    const int clerk =
        clerks_[static_cast<size_t>(random_.Below(static_cast<std::int64_t>(clerks_.size())))];

    // Shares of 一般 急件 追加 打樣 外包 重印.
    static constexpr std::array<int, 6> kCategoryShare = {62, 10, 9, 8, 6, 5};
    int pick = static_cast<int>(random_.Below(100)), category = 0;
    while (pick >= kCategoryShare[static_cast<size_t>(category)])
      pick -= kCategoryShare[static_cast<size_t>(category++)];
    const bool proof = category == run.proofCategory;
    run.proofs += proof;

    const double qty =
        proof ? std::max(1.0, std::round(Quantity(product.unit) / 100)) : Quantity(product.unit);
    const bool free = random_.Chance(proof ? 30 : 2);  // free proofs and goodwill reprints
    const double price = free ? 0
                              : RoundTo(product.basePrice * (0.9 + 0.2 * random_.Unit()),
                                        product.basePrice < 10 ? 2 : 1);
    const double amount = std::round(qty * price);
    const double other = random_.Chance(12) ? static_cast<double>(random_.Between(3, 30) * 100) : 0;
    double cost = 0;
    if (!random_.Chance(3)) {  // 3 %: cost not entered yet
      const double revenue = amount + other;
      const double ratio =
          random_.Chance(7) ? 1.02 + 0.33 * random_.Unit() : 0.55 + 0.37 * random_.Unit();
      cost = revenue > 0 ? std::round(revenue * ratio)
                         : static_cast<double>(random_.Between(2, 40) * 50);
    }

    const QDate promised = day.addDays(random_.Between(5, 25));
    const QDate finishDay = day.addDays(random_.Between(3, 30));
    const bool finished = finishDay <= today_ && !random_.Chance(3);
    const bool noDelivery = random_.Chance(4);
    double shipped = 0;
    Value fsend;
    if (noDelivery) {
      fsend = no;
    } else if (finished && random_.Chance(88)) {
      shipped = qty;
      fsend = y;
    } else {
      if (finished || random_.Chance(10)) shipped = std::floor(qty * (0.3 + 0.6 * random_.Unit()));
      fsend = random_.Chance(50) ? no : empty;
    }
    const bool invoiced = (shipped == qty && random_.Chance(80)) || random_.Chance(2);
    Value invoiceNo = Open(), invoiceDate = invoiceNo;
    if (invoiced) {
      const char letters[2] = {char('A' + random_.Below(26)), char('A' + random_.Below(26))};
      invoiceNo =
          QString::fromLatin1(letters, 2) + Code(QString(), random_.Between(0, 99999999), 8);
      const QDate base = finished ? finishDay : day;
      invoiceDate = RocValue(std::min(today_, base.addDays(random_.Between(0, 15))));
    }
    const Value reviewed = random_.Chance(age > 20 ? 75 : 20) ? y : Open();
    const bool isCombined = !proof && random_.Chance(15);

    orders.Add({po,
                RocValue(day),
                customer.id,
                employeeIds_[static_cast<size_t>(salesperson)],
                employeeIds_[static_cast<size_t>(keyer)],
                employeeIds_[static_cast<size_t>(clerk)],
                categories[static_cast<size_t>(category)],
                random_.Chance(5) ? empty : product.classification,
                random_.Chance(45) ? Value(Code(u"PO"_s, random_.Between(1, 999999), 6)) : empty,
                random_.Chance(30) ? Value(Code(u"P"_s, random_.Between(1, 99999999), 8)) : empty,
                product.code,
                qty,
                price,
                amount,
                other,
                cost,
                RocValue(promised),
                finished ? RocValue(finishDay) : Open(),
                fsend,
                noDelivery ? 1 : 0,
                invoiceNo,
                invoiceDate,
                reviewed,
                isCombined ? run.combinedKind : run.singleKind,
                shipped});
    if (shipped < qty) {
      ++run.unshipped;
      // Finished goods waiting in the warehouse for part of the outstanding lines.
      if (finished && random_.Chance(60))
        stocked.Add({po, product.code,
                     random_.Chance(70) ? qty - shipped : std::floor((qty - shipped) / 2)});
    }

    return {po, &product, category, qty, price, finished, finishDay, isCombined};
  }

  // The printing step, then the finishing steps that go out to vendors, and the order's die.
  void WriteSteps(OrderRun& run, const Order& order) {
    const Value& po = order.po;
    const Product& product = *order.product;
    const double qty = order.qty;
    const std::vector<Value>& numbers = run.numbers;
    const Value& empty = run.empty;
    // The printing step, then the finishing steps that go out to vendors.
    const int ups = static_cast<int>(random_.Pick(std::span<const double>(kUps)));
    if (random_.Chance(65)) run.crowd.Add({po, ups});
    const double sheets = std::ceil(qty * (product.bound ? 8 : 1) / std::max(1, ups)) * 1.03;
    int lineNo = 0;
    run.lines.Add({po, numbers[static_cast<size_t>(++lineNo)], run.printing, product.paper,
                   product.paperFormat,
                   order.category == run.outsourcedCategory
                       ? vendors_[static_cast<size_t>(VendorOf(k印刷))].id
                       : empty,
                   empty, product.front, product.back, product.pressSize,
                   RoundTo(sheets * (product.front + product.back) / 6000.0 + 0.5, 1),
                   static_cast<double>(random_.Between(40, 80) * 100), std::ceil(qty * 0.03),
                   std::floor(sheets / 500), std::fmod(std::round(sheets), 500.0)});
    for (const auto& [vendorKind, text] : product.steps) {
      const bool die = vendorKind == k軋工;
      run.lines.Add(
          {po, numbers[static_cast<size_t>(++lineNo)],
           run.vendorKinds[static_cast<size_t>(vendorKind)], text, empty,
           vendors_[static_cast<size_t>(die ? product.dieCutter : VendorOf(vendorKind))].id,
           die ? product.dieCode : empty, Value(), Value(), empty, Value(), Value(), Value(),
           Value(), Value()});
    }
    run.orderLines += lineNo;
    if (product.dieMaker >= 0)
      run.dies.Add({po, product.dieCode, vendors_[static_cast<size_t>(product.dieMaker)].id,
                    vendors_[static_cast<size_t>(product.dieCutter)].id});
  }

  void WriteCombined(OrderRun& run, const Order& order) {
    const Value& po = order.po;
    const std::vector<Value>& numbers = run.numbers;
    if (order.isCombined) {
      const int partners = static_cast<int>(random_.Between(1, 3));
      for (int k = 1; k <= partners; ++k) {
        const Customer& partner = customers_[static_cast<size_t>(
            random_.Below(static_cast<std::int64_t>(customers_.size())))];
        const Product& item = products_[static_cast<size_t>(partner.products[static_cast<size_t>(
            random_.Below(static_cast<std::int64_t>(partner.products.size())))])];
        const double q = Quantity(item.unit);
        const double p = RoundTo(item.basePrice * 0.8, 2);
        run.combined.Add({po, numbers[static_cast<size_t>(k)], partner.sname, item.code, item.desc,
                          q, p, std::round(q * p), item.unitValue});
      }
      run.combinedRows += partners;
    } else {
      run.combinedRows += 1;  // the order's own line, NO left NULL
    }
  }

  // Plates (kept ones counted) and the occasional rework.
  void WritePlatesAndReworks(OrderRun& run, const Order& order) {
    const Value& po = order.po;
    const Product& product = *order.product;
    const double qty = order.qty, price = order.price;
    const QDate& finishDay = order.finishDay;
    const std::vector<Value>& numbers = run.numbers;
    int plateNo = 0;
    if (random_.Chance(50)) {
      const bool kept = random_.Chance(35);
      run.keptPlates += kept;
      const int department = random_.Chance(60) ? 2 : random_.Chance(60) ? 0 : 1;
      run.plates.Add({po, numbers[static_cast<size_t>(++plateNo)],
                      random_.Chance(70) ? run.ctp : run.ps, product.pressSize, product.front,
                      product.back, static_cast<int>(random_.Between(1, 3)),
                      vendors_[static_cast<size_t>(VendorOf(k製版))].id,
                      run.reworkKinds[static_cast<size_t>(department)], kept ? 1 : 0});
    }
    if (random_.Chance(5)) {  // a plate remake, charged to the department at fault
      const bool kept = random_.Chance(30);
      run.keptPlates += kept;
      run.plates.Add({po, numbers[static_cast<size_t>(++plateNo)],
                      random_.Pick(words_.plateRemakeReasons), product.pressSize, product.front,
                      product.back, 1, vendors_[static_cast<size_t>(VendorOf(k製版))].id,
                      random_.Pick(std::span<const Value>(run.reworkKinds)), kept ? 1 : 0});
    }
    if (order.finished && random_.Chance(4)) {
      const double q = std::ceil(qty * (0.05 + 0.25 * random_.Unit()));
      const bool charged = random_.Chance(30);
      run.reworks.Add({po, numbers[1], random_.Pick(std::span<const Value>(run.reworkKinds)), q,
                       price, charged ? std::round(q * price / 2) : 0.0,
                       std::round(q * price * 0.6),
                       RocValue(finishDay.addDays(random_.Between(3, 10))),
                       random_.Pick(words_.reworkReasons)});
    }
  }

  static constexpr std::array<double, 8> kUps = {1, 2, 4, 6, 8, 12, 16, 0};

  db::Connection& db_;
  const DemoOptions& options_;
  QDate today_, windowStart_;
  const DemoVocabulary& words_;
  DemoRandom random_;
  std::vector<QString> rocDays_;
  std::vector<Value> rocValues_, employeeIds_;
  std::vector<QDate> leaveDates_;
  std::vector<int> sales_, keyers_, clerks_;
  std::vector<Vendor> vendors_;
  std::vector<std::vector<int>> vendorsByKind_;
  std::vector<Customer> customers_;
  std::vector<Product> products_;
  std::vector<std::pair<QString, std::int64_t>> tableRows_, viewRows_;
};

}  // namespace

void FillDemoDatabase(db::Connection& connection, const DemoOptions& options, QDate today,
                      DemoSummary& summary) {
  Generator(connection, options, today).Run(summary);
}

}  // namespace tarvel::demo
