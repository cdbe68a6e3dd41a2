#include "demo/DemoVocabulary.h"

namespace tarvel::demo {

namespace {

QStringList Words(const char* spaceSeparated) {
  return QString::fromUtf8(spaceSeparated).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

DemoVocabulary Build() {
  DemoVocabulary v;
  v.nameFirst = Words(
      "永 大 新 金 華 台 聯 宏 長 光 全 正 國 東 中 統 福 順 德 信 日 美 富 萬 興 建 佳 嘉 昇 鼎");
  v.nameSecond = Words("豐 成 泰 昌 達 益 利 源 隆 盛 祥 發 茂 勝 和 鑫 群 揚 億 通 輝 峰 亞 安");
  v.trades = Words(
      "文具 食品 電子 出版 製藥 化妝品 建設 旅行社 百貨 餐飲 科技 玩具 茶業 酒業 書局 保險 汽車 "
      "家具 服飾 生技 醫院 文教 銀行 寢具 烘焙 眼鏡 運動用品 寵物用品");
  v.tradeSuffixes = Words("股份有限公司 有限公司 股份有限公司 企業社 有限公司");
  v.cities = Words("台北市 新北市 桃園市 台中市 台南市 高雄市 新竹市 基隆市 彰化縣 嘉義市");
  v.areaCodes = Words("02 02 03 04 06 07 03 02 04 05");
  v.surnames = Words("陳 林 黃 張 李 王 吳 劉 蔡 楊 許 鄭 謝 郭 洪 曾 邱 廖 賴 周 徐 蘇 葉 莊");
  v.givenNames = Words(
      "淑芬 志明 雅婷 家豪 怡君 建宏 美玲 俊傑 佳穎 冠宇 宗翰 欣怡 承恩 詩涵 柏翰 "
      "麗華 國榮 秀英 文彬 靜宜 明德 玉珍 嘉慧 子軒");
  v.streets = Words(
      "中山路 中正路 民生路 復興路 忠孝東路 和平西路 建國北路 成功路 光復南路 文化路 "
      "民族路 自由路 仁愛路 信義路 博愛路");
  v.itemPrefixes =
      Words("春季 夏季 秋季 冬季 新品 週年慶 促銷 中秋 端午 新春 企業 產品 會員 限量 年度");
  const auto item = [](const char* stem, const char* unit, const char* cls, bool box, bool bound) {
    return DemoItemType{QString::fromUtf8(stem), QString::fromUtf8(unit), QString::fromUtf8(cls),
                        box, bound};
  };
  v.itemTypes = {
      item("型錄", "本", "型錄", false, true),       item("說明書", "本", "書籍", false, true),
      item("禮盒外盒", "個", "包裝", true, false),   item("彩盒", "個", "包裝", true, false),
      item("年曆", "本", "文宣", false, true),       item("手提袋", "個", "包裝", true, false),
      item("名片", "盒", "商業表單", false, false),  item("DM", "張", "文宣", false, false),
      item("海報", "張", "文宣", false, false),      item("貼紙", "張", "貼紙標籤", true, false),
      item("吊牌", "張", "貼紙標籤", true, false),   item("信封", "個", "商業表單", false, false),
      item("信紙", "本", "商業表單", false, true),   item("菜單", "份", "文宣", false, false),
      item("邀請卡", "張", "文宣", false, false),    item("年報", "本", "書籍", false, true),
      item("會刊", "本", "書籍", false, true),       item("保證卡", "張", "商業表單", false, false),
      item("資料夾", "個", "商業表單", true, false), item("桌曆", "個", "文宣", false, true),
      item("三折頁", "張", "文宣", false, false),    item("估價單", "本", "商業表單", false, true),
  };
  v.papers = Words(
      "銅版紙150g 銅版紙128g 雪銅紙200g 道林紙80g 模造紙100g 特銅卡300g 灰銅卡350g "
      "象牙卡250g 牛皮紙120g 銀卡350g 貼紙紙 輕塗紙");
  v.sheetSizes = Words("菊8開 菊16開 菊32開 4開 8開 16開 A4 A5 B5 25開");
  v.pressSizes = Words("菊全 菊對開 四六全 四六對開 菊四開");
  v.paperFormats = Words(R"(25"x35" 31"x43" 21.5"x31" 24"x35" 28"x40")");
  v.coatings = Words("亮P 霧P 局部UV 上亮油 上霧油");
  v.laminations = Words("裱E浪 裱B浪 裱灰板");
  v.dieCuts = Words("軋型 軋型壓線 軋折線");
  v.gluings = Words("糊盒 糊底 糊邊");
  v.cuttings = Words("裁切 裁摺 裁成品");
  v.bindings = Words("騎馬釘 膠裝 穿線膠裝 精裝 圈裝");
  v.foils = Words("燙金 燙銀 燙紅金 壓凸");
  v.extras = Words("打孔 穿繩 包膜 貼雙面膠 編號");
  v.categories = Words("一般 急件 追加 打樣 外包 重印");
  v.classifications = Words("書籍 型錄 包裝 文宣 商業表單 貼紙標籤");
  v.vendorKinds = Words("印前 製版 紙品 印刷 上光 裱紙 軋工 糊工 裁工 裝訂 刀模 燙金 運送 其他");
  v.vendorWords = Words("設計 製版 紙業 印刷 上光 裱褙 軋型 糊盒 裁切 裝訂 刀模 燙金 貨運 加工");
  v.reworkKinds = Words("印刷 工單 製版");
  v.reworkReasons =
      Words("色差過大 套印不準 髒污 數量不足 裁切偏移 工單規格錯誤 版面錯字 出血不足");
  v.plateRemakeReasons = Words("補版-刮傷 補版-版面錯字 補版-網點不良 補版-曝光不足 補版-遺失");

  const auto emp = [](const char* id, const char* name, const char* title, const char* ext,
                      const char* groups, int hired, int left) {
    return DemoEmployee{QString::fromUtf8(id),
                        QString::fromUtf8(name),
                        QString::fromUtf8(title),
                        QString::fromUtf8(ext),
                        Words(groups),
                        hired,
                        left};
  };
  // A001 is the restricted demo user; his group 北區 also shows him A002's orders.
  v.employees = {
      emp("A001", "王小明", "業務專員", "211", "北區", 6, 0),
      emp("A002", "陳志豪", "業務經理", "212", "北區 大客戶組", 12, 0),
      emp("A003", "林淑芬", "業務專員", "213", "南區", 5, 0),
      emp("A004", "張家豪", "業務專員", "214", "南區 大客戶組", 8, 0),
      emp("A005", "李建宏", "業務專員", "215", "中區", 9, 7),
      emp("A006", "黃美玲", "業務專員", "216", "中區", 3, 0),
      emp("B001", "吳佩珊", "鍵機", "301", "", 10, 0),
      emp("B002", "蔡宜君", "鍵機", "302", "", 4, 0),
      emp("B003", "許雅婷", "鍵機", "303", "", 6, 14),
      emp("C001", "鄭文雄", "工務", "401", "", 15, 0),
      emp("C002", "謝明哲", "工務", "402", "", 7, 0),
      emp("C003", "郭俊傑", "工務", "403", "", 2, 0),
  };
  return v;
}

}  // namespace

const DemoVocabulary& DemoVocabulary::Get() {
  static const DemoVocabulary vocabulary = Build();
  return vocabulary;
}

}  // namespace tarvel::demo
