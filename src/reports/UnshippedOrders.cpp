#include "reports/UnshippedOrders.h"

#include "common/GroupedNumber.h"
#include "criteria/WorkOrderCriteria.h"
#include "db/DbError.h"
#include "design/ReportRegistry.h"
#include "platform/UserInterface.h"
#include "reports/OverviewColumns.h"

namespace tarvel {

namespace {

using namespace columns;

constexpr int kLeft = 90;
constexpr int kRight = 14850;

const QString kStockedQuery =
    QStringLiteral("select * from [工單產品入庫數] where PO = ? and PID = ? ");

/// 種類 with 合版 shortened to 合.
db::Value KindShort(const CellInputs& in, const AppContext&) {
  const QString kind = in[0].Text();
  return kind == QStringLiteral("合版") ? QStringLiteral("合") : kind;
}

std::unique_ptr<Report> NewUnshippedOrders(const ReportDefinition& definition,
                                           const RequestCriteria& request) {
  return std::make_unique<UnshippedOrders>(LayoutDesign::Of(definition), request.Overview(),
                                           request.context);
}

ReportDefinition Unshipped() {
  constexpr auto kRightAligned = Alignment::Right;
  const auto value = [&](const char* column) { return Shown(Shows::GroupedValue, column); };
  Column quantity = Quantity(8235, 1080).Titled("工單數量");
  quantity.cell = value("QTY");
  // 種類 is hidden in the design; the handler still writes it.
  Column kind = Col(nullptr, "", "txt種類", Computed(&KindShort, {"種類"}, "種類"), 0);
  kind.fieldVisible = false;
  const auto total = [](const char* field, const char* column, int left, bool visible = true) {
    Total t = Sum(field, column, left, 1080);
    t.shows = Shows::GroupedValue;
    t.visible = visible;
    return t;
  };
  return {
      .name = "rpt工單未出明細_橫",
      .choice = k未送總表,
      .statement = {.source = "工單未出明細",
                    .pieces = {.customerRange = false},
                    .orderBy = " order by PO, [NO] "},
      .page = PrintedPage(Orientation::Landscape, 450, 500, 400, 500),
      .title = {.title = "未 送 總 表",
                .titleLeft = 6210,
                .titleCentred = true,
                .statusLines = false,
                .salespersonBlock = false,
                .printDateField = "txt印表日期",
                .printDateCaption = "印表日期：",
                .dateCaption = "工單日期：",
                .dateCaptionName = "Label22",  // this layout's name for the date caption
                .dateCaptionByBasis = false,
                .pageNumber = true,
                .font = FontSpec{QStringLiteral("新細明體"), 11}},
      .measures = {.ruleWidth = kRight - kLeft},
      .columns =
          {
              WorkOrderNo(90, 1170),
              OrderDate(1305, 540),
              Customer(1890, 990).Titled("客   戶"),
              ItemCode(2925, 1800),
              ItemName(4770, 3420),
              quantity,
              Col("Label13", "已出數量", "txt已出數量", value("已出數量"), 1080, kRightAligned)
                  .At(9360),
              Col("Label14", "未出數量", "txt未出數量", value("未出數量"), 1080, kRightAligned)
                  .At(10485),
              // Looked up per row by the hook.
              Col("Label15", "入庫數量", "txt入庫數量", Stored(""), 1080, kRightAligned).At(11610),
              Col("Label17", "目前庫存", "txtSTOCK", value("STOCK"), 1080, kRightAligned).At(12735),
              PromisedDate(13860, 990).Titled("預交日期"),
              kind,
          },
      .hidden = {{"txtNAME", "NAME"}, {"txtCQTY", "已出數量"}},
      .footer = {.countField = "txt筆數",
                 .countByEngine = false,
                 .unit = "筆",
                 .totals = {total("txtQTY1", "QTY", 8235),
                            total("txt已出數量1", "已出數量", 9360),
                            total("txt未出數量1", "未出數量", 10485),
                            {.field = "txt入庫數量1",
                             .kind = TotalKind::Hook,
                             .left = 11610,
                             .width = 1080},
                            total("txtCQTY1", "已出數量", 12735, false)}},
      .layoutHook = &NewUnshippedOrders,
  };
}

TARVEL_REGISTER_REPORT(Unshipped)

}  // namespace

UnshippedOrders::UnshippedOrders(const LayoutDesign& design, const WorkOrderCriteria& criteria,
                                 const AppContext& context)
    : DefinedReport(*design.definition, {.context = context, .overview = &criteria}) {}

UnshippedOrders::~UnshippedOrders() = default;

void UnshippedOrders::ActiveReport_ReportStart() {
  // One connection and one prepared query for the whole run instead of one per printed row.
  // When they cannot be had, every row shows 0, as a failing lookup does, and the report goes on.
  try {
    stockConnection_ = db::Connection::Open(Context().ConnectionString);
    stockQuery_.emplace(stockConnection_->Prepare(kStockedQuery));
  } catch (const Error& error) {
    stockQuery_.reset();
    stockConnection_.reset();
    stockOpenError_ = error.Description();
  }
}

void UnshippedOrders::ActiveReport_ReportEnd() {
  stockQuery_.reset();
  stockConnection_.reset();
  if (failedLookups_ > 0) {
    ShowMessage(QStringLiteral("有 %1 筆工單的入庫數量無法查詢，以 0 列印。\n%2")
                    .arg(failedLookups_)
                    .arg(lookupFailure_),
                kExclamation, QStringLiteral("查詢入庫數量錯誤"));
  }
}

void UnshippedOrders::Detail_Format() {
  DefinedReport::Detail_Format();
  StockedQuantityLookup(Field(QStringLiteral("txtPO")).Value().Text(),
                        Field(QStringLiteral("txtCODE")).Value().Text());
}

std::optional<double> UnshippedOrders::StockedQuantity(const QString& po,
                                                       const QString& productCode) {
  if (!stockQuery_) throw Error(stockOpenError_);
  stockQuery_->Bind(1, db::Value(po)).Bind(2, db::Value(productCode));
  const db::Recordset found = stockQuery_->Query();
  if (found.RecordCount() < 1) return std::nullopt;
  return found.Number(QStringLiteral("入庫數量"));
}

void UnshippedOrders::StockedQuantityLookup(const QString& po, const QString& productCode) {
  ReportControl& stocked = Field(QStringLiteral("txt入庫數量"));
  stocked.SetText(QStringLiteral("0"));
  try {
    if (const std::optional<double> quantity = StockedQuantity(po, productCode)) {
      stocked.SetText(FormatGroupedNumber(*quantity));
      stockedSum_ += *quantity;
    }
  } catch (const Error& error) {
    // This row keeps 0 and adds nothing; the failure is reported once at the end of the run.
    if (failedLookups_++ == 0) lookupFailure_ = error.Description();
  }
}

void UnshippedOrders::GroupFooter1_Format() {
  DefinedReport::GroupFooter1_Format();
  Field(QStringLiteral("txt入庫數量1")).SetText(FormatGroupedNumber(stockedSum_));
}

}  // namespace tarvel
