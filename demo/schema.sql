-- The demo database of the work-order reporting program: every table, stored query (view) and
-- column that the program reads, plus the base tables the views are built from.
--
-- The suite keeps its data in a Jet file; the demo keeps the same names in an SQLite file called
-- KORV.mdb. Conventions that the program depends on:
--   * text columns compare and sort in Jet's General sort order (COLLATE JETGENERAL, a collation
--     of the program's: case does not count), as the suite's Jet file does;
--   * dates are 7-digit ROC texts yyyMMdd (year - 1911), so text order is date order;
--   * an open value (not finished, not invoiced, not reviewed) is NULL or the empty text, and both
--     occur, because the suite writes both;
--   * amounts and quantities are REAL, flags that the program compares with numbers INTEGER,
--     flags that it compares with texts ('1', 'Y') TEXT.
--
-- The report sources are views over base tables, so one work order shows the same customer,
-- dates and amounts in every source. Statements are separated by semicolons at line ends; the
-- generator strips the comments and runs them one by one.

PRAGMA page_size = 8192;

------------------------------------------------------------------------------------------------
-- Tables read while the program starts (application context)
------------------------------------------------------------------------------------------------

-- The company running the suite: its name heads the reports; a name starting with 翠峰
-- also unlocks the 表5 report choice.
CREATE TABLE [COMPANY] (
  COMPANY TEXT COLLATE JETGENERAL,
  [ADD] TEXT COLLATE JETGENERAL,
  ADD1 TEXT COLLATE JETGENERAL,
  TNO TEXT COLLATE JETGENERAL,
  TEL TEXT COLLATE JETGENERAL,
  FAX TEXT COLLATE JETGENERAL,
  VER TEXT COLLATE JETGENERAL
);

-- Second and third company profiles (sister companies); read at start-up, shown nowhere.
CREATE TABLE [COMPANY1] (
  COMPANY TEXT COLLATE JETGENERAL,
  [ADD] TEXT COLLATE JETGENERAL,
  TNO TEXT COLLATE JETGENERAL,
  TEL TEXT COLLATE JETGENERAL,
  FAX TEXT COLLATE JETGENERAL
);

CREATE TABLE [COMPANY2] (
  COMPANY TEXT COLLATE JETGENERAL,
  [ADD] TEXT COLLATE JETGENERAL,
  TNO TEXT COLLATE JETGENERAL,
  TEL TEXT COLLATE JETGENERAL,
  FAX TEXT COLLATE JETGENERAL
);

-- Suite settings, one row. ITEM18 is the profit-rate base: '0' = margins against cost, any
-- other value = against the sales amount. The loader reads MFUN and ITEM0..ITEM87 except
-- ITEM68 and ITEM79; all are present so that a future reader finds them.
CREATE TABLE [SYSTEM] (
  MFUN TEXT COLLATE JETGENERAL,
  ITEM0 TEXT COLLATE JETGENERAL,
  ITEM1 TEXT COLLATE JETGENERAL,
  ITEM2 TEXT COLLATE JETGENERAL,
  ITEM3 TEXT COLLATE JETGENERAL,
  ITEM4 TEXT COLLATE JETGENERAL,
  ITEM5 TEXT COLLATE JETGENERAL,
  ITEM6 TEXT COLLATE JETGENERAL,
  ITEM7 TEXT COLLATE JETGENERAL,
  ITEM8 TEXT COLLATE JETGENERAL,
  ITEM9 TEXT COLLATE JETGENERAL,
  ITEM10 TEXT COLLATE JETGENERAL,
  ITEM11 TEXT COLLATE JETGENERAL,
  ITEM12 TEXT COLLATE JETGENERAL,
  ITEM13 TEXT COLLATE JETGENERAL,
  ITEM14 TEXT COLLATE JETGENERAL,
  ITEM15 TEXT COLLATE JETGENERAL,
  ITEM16 TEXT COLLATE JETGENERAL,
  ITEM17 TEXT COLLATE JETGENERAL,
  ITEM18 TEXT COLLATE JETGENERAL,
  ITEM19 TEXT COLLATE JETGENERAL,
  ITEM20 TEXT COLLATE JETGENERAL,
  ITEM21 TEXT COLLATE JETGENERAL,
  ITEM22 TEXT COLLATE JETGENERAL,
  ITEM23 TEXT COLLATE JETGENERAL,
  ITEM24 TEXT COLLATE JETGENERAL,
  ITEM25 TEXT COLLATE JETGENERAL,
  ITEM26 TEXT COLLATE JETGENERAL,
  ITEM27 TEXT COLLATE JETGENERAL,
  ITEM28 TEXT COLLATE JETGENERAL,
  ITEM29 TEXT COLLATE JETGENERAL,
  ITEM30 TEXT COLLATE JETGENERAL,
  ITEM31 TEXT COLLATE JETGENERAL,
  ITEM32 TEXT COLLATE JETGENERAL,
  ITEM33 TEXT COLLATE JETGENERAL,
  ITEM34 TEXT COLLATE JETGENERAL,
  ITEM35 TEXT COLLATE JETGENERAL,
  ITEM36 TEXT COLLATE JETGENERAL,
  ITEM37 TEXT COLLATE JETGENERAL,
  ITEM38 TEXT COLLATE JETGENERAL,
  ITEM39 TEXT COLLATE JETGENERAL,
  ITEM40 TEXT COLLATE JETGENERAL,
  ITEM41 TEXT COLLATE JETGENERAL,
  ITEM42 TEXT COLLATE JETGENERAL,
  ITEM43 TEXT COLLATE JETGENERAL,
  ITEM44 TEXT COLLATE JETGENERAL,
  ITEM45 TEXT COLLATE JETGENERAL,
  ITEM46 TEXT COLLATE JETGENERAL,
  ITEM47 TEXT COLLATE JETGENERAL,
  ITEM48 TEXT COLLATE JETGENERAL,
  ITEM49 TEXT COLLATE JETGENERAL,
  ITEM50 TEXT COLLATE JETGENERAL,
  ITEM51 TEXT COLLATE JETGENERAL,
  ITEM52 TEXT COLLATE JETGENERAL,
  ITEM53 TEXT COLLATE JETGENERAL,
  ITEM54 TEXT COLLATE JETGENERAL,
  ITEM55 TEXT COLLATE JETGENERAL,
  ITEM56 TEXT COLLATE JETGENERAL,
  ITEM57 TEXT COLLATE JETGENERAL,
  ITEM58 TEXT COLLATE JETGENERAL,
  ITEM59 TEXT COLLATE JETGENERAL,
  ITEM60 TEXT COLLATE JETGENERAL,
  ITEM61 TEXT COLLATE JETGENERAL,
  ITEM62 TEXT COLLATE JETGENERAL,
  ITEM63 TEXT COLLATE JETGENERAL,
  ITEM64 TEXT COLLATE JETGENERAL,
  ITEM65 TEXT COLLATE JETGENERAL,
  ITEM66 TEXT COLLATE JETGENERAL,
  ITEM67 TEXT COLLATE JETGENERAL,
  ITEM68 TEXT COLLATE JETGENERAL,
  ITEM69 TEXT COLLATE JETGENERAL,
  ITEM70 TEXT COLLATE JETGENERAL,
  ITEM71 TEXT COLLATE JETGENERAL,
  ITEM72 TEXT COLLATE JETGENERAL,
  ITEM73 TEXT COLLATE JETGENERAL,
  ITEM74 TEXT COLLATE JETGENERAL,
  ITEM75 TEXT COLLATE JETGENERAL,
  ITEM76 TEXT COLLATE JETGENERAL,
  ITEM77 TEXT COLLATE JETGENERAL,
  ITEM78 TEXT COLLATE JETGENERAL,
  ITEM79 TEXT COLLATE JETGENERAL,
  ITEM80 TEXT COLLATE JETGENERAL,
  ITEM81 TEXT COLLATE JETGENERAL,
  ITEM82 TEXT COLLATE JETGENERAL,
  ITEM83 TEXT COLLATE JETGENERAL,
  ITEM84 TEXT COLLATE JETGENERAL,
  ITEM85 TEXT COLLATE JETGENERAL,
  ITEM86 TEXT COLLATE JETGENERAL,
  ITEM87 TEXT COLLATE JETGENERAL
);

-- Further suite settings (e-invoice platform and the like), one row.
CREATE TABLE [SYSTEM1] (
  發票開立方式 TEXT COLLATE JETGENERAL,
  發票平台路徑 TEXT COLLATE JETGENERAL,
  ITEM87 TEXT COLLATE JETGENERAL,
  ITEM88 TEXT COLLATE JETGENERAL,
  ITEM89 TEXT COLLATE JETGENERAL,
  ITEM102 TEXT COLLATE JETGENERAL,
  ITEM110 TEXT COLLATE JETGENERAL,
  ITEM119 TEXT COLLATE JETGENERAL,
  ITEM120 TEXT COLLATE JETGENERAL
);

-- Users of the suite and their module rights (one flag text per module).
CREATE TABLE [使用者資料] (
  使用者 TEXT COLLATE JETGENERAL,
  估價審單金額 REAL,
  採購審單金額 REAL,
  工單作業權限 TEXT COLLATE JETGENERAL,
  生產管理權限 TEXT COLLATE JETGENERAL,
  成本分析權限 TEXT COLLATE JETGENERAL,
  基本資料權限 TEXT COLLATE JETGENERAL,
  應收帳款權限 TEXT COLLATE JETGENERAL,
  應付帳款權限 TEXT COLLATE JETGENERAL,
  物料管理權限 TEXT COLLATE JETGENERAL,
  產品管理權限 TEXT COLLATE JETGENERAL,
  印刷作業權限 TEXT COLLATE JETGENERAL,
  製版作業權限 TEXT COLLATE JETGENERAL,
  發票權限 TEXT COLLATE JETGENERAL,
  其它權限 TEXT COLLATE JETGENERAL,
  報價權限 TEXT COLLATE JETGENERAL,
  維護權限 TEXT COLLATE JETGENERAL,
  會計權限 TEXT COLLATE JETGENERAL,
  績效權限 TEXT COLLATE JETGENERAL,
  稽核權限 TEXT COLLATE JETGENERAL,
  速算權限 TEXT COLLATE JETGENERAL,
  運送權限 TEXT COLLATE JETGENERAL,
  授信額度權限 TEXT COLLATE JETGENERAL,
  產能權限 TEXT COLLATE JETGENERAL,
  CRM權限 TEXT COLLATE JETGENERAL,
  網印權限 TEXT COLLATE JETGENERAL,
  代收權限 TEXT COLLATE JETGENERAL,
  雜支權限 TEXT COLLATE JETGENERAL,
  刀模權限 TEXT COLLATE JETGENERAL,
  標籤權限 TEXT COLLATE JETGENERAL,
  公告權限 TEXT COLLATE JETGENERAL,
  寄庫權限 TEXT COLLATE JETGENERAL,
  捲筒權限 TEXT COLLATE JETGENERAL,
  接稿權限 TEXT COLLATE JETGENERAL,
  PRIMARY KEY (使用者)
);

-- Detailed rights: one character per function, '1' = restricted. In 工單作業細部 position 40
-- limits the work-order queries to the user's own customers and groups, position 41 forbids
-- the Excel export.
CREATE TABLE [使用者資料明細] (
  使用者 TEXT COLLATE JETGENERAL,
  工單作業細部 TEXT COLLATE JETGENERAL,
  生產管理細部 TEXT COLLATE JETGENERAL,
  成本分析細部 TEXT COLLATE JETGENERAL,
  基本資料細部 TEXT COLLATE JETGENERAL,
  應收帳款細部 TEXT COLLATE JETGENERAL,
  應付帳款細部 TEXT COLLATE JETGENERAL,
  物料管理細部 TEXT COLLATE JETGENERAL,
  產品管理細部 TEXT COLLATE JETGENERAL,
  印刷作業細部 TEXT COLLATE JETGENERAL,
  製版作業細部 TEXT COLLATE JETGENERAL,
  發票細部 TEXT COLLATE JETGENERAL,
  其它細部 TEXT COLLATE JETGENERAL,
  報價細部 TEXT COLLATE JETGENERAL,
  維護細部 TEXT COLLATE JETGENERAL,
  會計細部 TEXT COLLATE JETGENERAL,
  績效細部 TEXT COLLATE JETGENERAL,
  稽核細部 TEXT COLLATE JETGENERAL,
  速算細部 TEXT COLLATE JETGENERAL,
  運送細部 TEXT COLLATE JETGENERAL,
  產能細部 TEXT COLLATE JETGENERAL,
  CRM細部 TEXT COLLATE JETGENERAL,
  網印細部 TEXT COLLATE JETGENERAL,
  代收細部 TEXT COLLATE JETGENERAL,
  雜支細部 TEXT COLLATE JETGENERAL,
  刀模細部 TEXT COLLATE JETGENERAL,
  標籤細部 TEXT COLLATE JETGENERAL,
  公告細部 TEXT COLLATE JETGENERAL,
  寄庫細部 TEXT COLLATE JETGENERAL,
  捲筒細部 TEXT COLLATE JETGENERAL,
  接稿細部 TEXT COLLATE JETGENERAL,
  PRIMARY KEY (使用者)
);

-- Operating-system switches of the suite, one row.
CREATE TABLE [SYSOS] (
  VM TEXT COLLATE JETGENERAL,
  XP TEXT COLLATE JETGENERAL,
  WIN7 TEXT COLLATE JETGENERAL,
  WIN7C TEXT COLLATE JETGENERAL,
  WIN8 TEXT COLLATE JETGENERAL,
  WIN8C TEXT COLLATE JETGENERAL,
  WIN10 TEXT COLLATE JETGENERAL,
  WIN10C TEXT COLLATE JETGENERAL,
  WIN11 TEXT COLLATE JETGENERAL,
  WIN11C TEXT COLLATE JETGENERAL
);

-- Whether the suite sends e-mail (the misspelt name is the suite's own).
CREATE TABLE [啟用發送EAMIL] (
  啟用發送EAMIL TEXT COLLATE JETGENERAL
);

-- Per computer and user (ID = computer\user): the default folder of exported workbooks.
CREATE TABLE [SYSLOAD] (
  ID TEXT COLLATE JETGENERAL,
  COMPUTER TEXT COLLATE JETGENERAL,
  EXCEL TEXT COLLATE JETGENERAL,
  PRIMARY KEY (ID, COMPUTER)
);

-- Running-window registry: one row per computer\user and program while its window is open.
-- Written and deleted by the program; empty in a fresh demo.
CREATE TABLE [SYSUSER1] (
  ID TEXT COLLATE JETGENERAL,
  FUNC TEXT COLLATE JETGENERAL,
  LPID REAL
);

------------------------------------------------------------------------------------------------
-- Master data
------------------------------------------------------------------------------------------------

-- Employees: salespeople, keyers and production staff. ODATE is the leaving date; an employee
-- in service has ODATE = '' (never NULL: the lookup compares with the empty text). GROUP,
-- GROUP1..GROUP19 are the groups whose data the employee may see; a work order belongs to the
-- groups of its salesperson.
CREATE TABLE [EMPLOYEE] (
  ID TEXT COLLATE JETGENERAL,
  NAME TEXT COLLATE JETGENERAL,
  IDATE TEXT COLLATE JETGENERAL,
  ODATE TEXT COLLATE JETGENERAL,
  職稱 TEXT COLLATE JETGENERAL,
  分機代號 TEXT COLLATE JETGENERAL,
  [GROUP] TEXT COLLATE JETGENERAL,
  GROUP1 TEXT COLLATE JETGENERAL,
  GROUP2 TEXT COLLATE JETGENERAL,
  GROUP3 TEXT COLLATE JETGENERAL,
  GROUP4 TEXT COLLATE JETGENERAL,
  GROUP5 TEXT COLLATE JETGENERAL,
  GROUP6 TEXT COLLATE JETGENERAL,
  GROUP7 TEXT COLLATE JETGENERAL,
  GROUP8 TEXT COLLATE JETGENERAL,
  GROUP9 TEXT COLLATE JETGENERAL,
  GROUP10 TEXT COLLATE JETGENERAL,
  GROUP11 TEXT COLLATE JETGENERAL,
  GROUP12 TEXT COLLATE JETGENERAL,
  GROUP13 TEXT COLLATE JETGENERAL,
  GROUP14 TEXT COLLATE JETGENERAL,
  GROUP15 TEXT COLLATE JETGENERAL,
  GROUP16 TEXT COLLATE JETGENERAL,
  GROUP17 TEXT COLLATE JETGENERAL,
  GROUP18 TEXT COLLATE JETGENERAL,
  GROUP19 TEXT COLLATE JETGENERAL,
  PRIMARY KEY (ID)
);

-- Customers. SNAME is the short name the reports print; EMPNO the responsible salesperson;
-- RATE the invoice tax rate; 停用 = '1' disables the customer ('0', '' or NULL = active).
CREATE TABLE [CUST] (
  ID TEXT COLLATE JETGENERAL,
  SNAME TEXT COLLATE JETGENERAL,
  NAME TEXT COLLATE JETGENERAL,
  EMPNO TEXT COLLATE JETGENERAL,
  TEL1 TEXT COLLATE JETGENERAL,
  FAX TEXT COLLATE JETGENERAL,
  NAM2 TEXT COLLATE JETGENERAL,
  TNO TEXT COLLATE JETGENERAL,
  ADD1 TEXT COLLATE JETGENERAL,
  ADD3 TEXT COLLATE JETGENERAL,
  RATE REAL,
  PAYDATE TEXT COLLATE JETGENERAL,
  不附回郵 TEXT COLLATE JETGENERAL,
  停用 TEXT COLLATE JETGENERAL,
  PRIMARY KEY (ID)
);

-- Customers (ID) assigned to a salesperson (EMPNO) besides his own: a restricted user sees
-- the work orders of these customers too.
CREATE TABLE [CUSTE] (
  ID TEXT COLLATE JETGENERAL,
  EMPNO TEXT COLLATE JETGENERAL,
  PRIMARY KEY (EMPNO, ID)
);

-- Vendors (the suite's spelling). ITEM1..ITEM14 = '1' mark the kinds of work a vendor does:
-- 1 印前, 2 製版, 3 紙品, 4 印刷, 5 上光, 6 裱紙, 7 軋工, 8 糊工, 9 裁工/裁摺, 10 裝訂, 11 刀模,
-- 12 燙金, 13 運送, 14 其他. 停用 = '1' disables the vendor.
CREATE TABLE [VENDER] (
  ID TEXT COLLATE JETGENERAL,
  SNAME TEXT COLLATE JETGENERAL,
  NAME TEXT COLLATE JETGENERAL,
  TEL1 TEXT COLLATE JETGENERAL,
  NAM2 TEXT COLLATE JETGENERAL,
  RATE REAL,
  停用 TEXT COLLATE JETGENERAL,
  ITEM1 TEXT COLLATE JETGENERAL,
  ITEM2 TEXT COLLATE JETGENERAL,
  ITEM3 TEXT COLLATE JETGENERAL,
  ITEM4 TEXT COLLATE JETGENERAL,
  ITEM5 TEXT COLLATE JETGENERAL,
  ITEM6 TEXT COLLATE JETGENERAL,
  ITEM7 TEXT COLLATE JETGENERAL,
  ITEM8 TEXT COLLATE JETGENERAL,
  ITEM9 TEXT COLLATE JETGENERAL,
  ITEM10 TEXT COLLATE JETGENERAL,
  ITEM11 TEXT COLLATE JETGENERAL,
  ITEM12 TEXT COLLATE JETGENERAL,
  ITEM13 TEXT COLLATE JETGENERAL,
  ITEM14 TEXT COLLATE JETGENERAL,
  PRIMARY KEY (ID)
);

-- Phrase lists of the suite's combo boxes: KIND 'Q-工單類別' ITEM '類別' lists the work-order
-- categories (工單.KIND), KIND 'Z-雜項' ITEM '分類' the classifications (工單.分類).
CREATE TABLE [PHRASE] (
  KIND TEXT COLLATE JETGENERAL,
  ITEM TEXT COLLATE JETGENERAL,
  ID TEXT COLLATE JETGENERAL,
  [DESC] TEXT COLLATE JETGENERAL,
  PRIMARY KEY (KIND, ITEM, ID)
);

-- Printed items (印件) of the customers with their standing process sheet: SPEC the sheet
-- size (開數), 紙品 the paper, COLOR1/COLOR2 the front/back colour counts as texts ('' = none),
-- the finishing steps as free texts ('' = none); STOCK the finished goods in stock.
CREATE TABLE [產品資料] (
  CODE TEXT COLLATE JETGENERAL,
  CUST TEXT COLLATE JETGENERAL,
  [DESC] TEXT COLLATE JETGENERAL,
  UNIT TEXT COLLATE JETGENERAL,
  SPEC TEXT COLLATE JETGENERAL,
  紙品 TEXT COLLATE JETGENERAL,
  COLOR1 TEXT COLLATE JETGENERAL,
  COLOR2 TEXT COLLATE JETGENERAL,
  上光 TEXT COLLATE JETGENERAL,
  裱紙 TEXT COLLATE JETGENERAL,
  軋工 TEXT COLLATE JETGENERAL,
  糊工 TEXT COLLATE JETGENERAL,
  裁工 TEXT COLLATE JETGENERAL,
  裝訂 TEXT COLLATE JETGENERAL,
  燙金 TEXT COLLATE JETGENERAL,
  其他 TEXT COLLATE JETGENERAL,
  STOCK REAL,
  PRIMARY KEY (CODE)
);

------------------------------------------------------------------------------------------------
-- Work orders and their detail rows (base tables of the report sources)
--
-- Stored WITHOUT ROWID: the rows live in their primary-key order (work-order number first),
-- which is the order the generator writes them and the reports read them.
------------------------------------------------------------------------------------------------

-- One row per work order (工單). PO the number (yyyMM + sequence), ODATE the order date, PDATE
-- the promised date, FDATE the finish date (NULL or '' while unfinished), FSEND 'Y' when
-- delivery is cleared, 不送貨 1 for orders that are never delivered, 發票號碼/發票日期 the invoice
-- (NULL or '' when not invoiced), YN the review mark ('Y'; NULL or '' = not reviewed). EMPNO the
-- salesperson, EMPNO1 the keyer, 工務人員代號 the production clerk. AMT = QTY x PRICE before tax,
-- OTAMT other charges, COST the cost. 種類 '合版' when the order shares its plates with other
-- orders (combined plates), else '單版'. 已出數量 the quantity delivered so far.
CREATE TABLE [工單主檔] (
  PO TEXT COLLATE JETGENERAL,
  ODATE TEXT COLLATE JETGENERAL,
  CUST TEXT COLLATE JETGENERAL,
  EMPNO TEXT COLLATE JETGENERAL,
  EMPNO1 TEXT COLLATE JETGENERAL,
  工務人員代號 TEXT COLLATE JETGENERAL,
  KIND TEXT COLLATE JETGENERAL,
  分類 TEXT COLLATE JETGENERAL,
  CUSTNO TEXT COLLATE JETGENERAL,
  採購單號 TEXT COLLATE JETGENERAL,
  CODE TEXT COLLATE JETGENERAL,
  QTY REAL,
  PRICE REAL,
  AMT REAL,
  OTAMT REAL,
  COST REAL,
  PDATE TEXT COLLATE JETGENERAL,
  FDATE TEXT COLLATE JETGENERAL,
  FSEND TEXT COLLATE JETGENERAL,
  不送貨 INTEGER,
  發票號碼 TEXT COLLATE JETGENERAL,
  發票日期 TEXT COLLATE JETGENERAL,
  YN TEXT COLLATE JETGENERAL,
  種類 TEXT COLLATE JETGENERAL,
  已出數量 REAL,
  PRIMARY KEY (PO)
) WITHOUT ROWID;

-- Process lines of a work order: DESC1 the step (印刷, 上光, 裱紙, 軋工, 糊工, 裝訂, 燙金), ITEM its
-- content (for 印刷 the paper), VENDER the vendor doing it, REM the die code of a 軋工 step.
-- The production columns are filled on 印刷 lines only: SPEC the sheet format, 色數正/反 the colour
-- counts, 開數1 the press size, 耗時 hours, 生產量 sheets per hour, QTY2 the overrun, 令數 and FREE
-- the paper in reams and sheets.
CREATE TABLE [工單製程] (
  PO TEXT COLLATE JETGENERAL,
  NO TEXT COLLATE JETGENERAL,
  DESC1 TEXT COLLATE JETGENERAL,
  ITEM TEXT COLLATE JETGENERAL,
  SPEC TEXT COLLATE JETGENERAL,
  VENDER TEXT COLLATE JETGENERAL,
  REM TEXT COLLATE JETGENERAL,
  色數正 INTEGER,
  色數反 INTEGER,
  開數1 TEXT COLLATE JETGENERAL,
  耗時 REAL,
  生產量 REAL,
  QTY2 REAL,
  令數 REAL,
  FREE REAL,
  PRIMARY KEY (PO, NO)
) WITHOUT ROWID;

-- Combined-plate lines: the other jobs printed on the same plates as the work order.
CREATE TABLE [合版明細] (
  PO TEXT COLLATE JETGENERAL,
  NO TEXT COLLATE JETGENERAL,
  合版客戶簡稱 TEXT COLLATE JETGENERAL,
  合版代號 TEXT COLLATE JETGENERAL,
  合版名稱 TEXT COLLATE JETGENERAL,
  合版數量 REAL,
  合版單價 REAL,
  合版小計 REAL,
  合版單位 TEXT COLLATE JETGENERAL,
  PRIMARY KEY (PO, NO)
) WITHOUT ROWID;

-- Number of ups (模數) of a work order; not every order has a row. Only these two columns,
-- because the process sheet joins it to [歷史工單明細2] and other names would clash.
CREATE TABLE [CROWD] (
  PO TEXT COLLATE JETGENERAL,
  MEMB INTEGER,
  PRIMARY KEY (PO)
) WITHOUT ROWID;

-- Printing plates of a work order: SPEC describes the plate (a remake contains 補版), SIZE the
-- press size, COLOR1/COLOR2 the front/back colours, PLAT the number of plate sets, VENDER the
-- plate maker, 種類 the department responsible (印刷, 工單, 製版), 留版 1 when the plates are kept.
CREATE TABLE [PLATE] (
  PO TEXT COLLATE JETGENERAL,
  NO TEXT COLLATE JETGENERAL,
  SPEC TEXT COLLATE JETGENERAL,
  SIZE TEXT COLLATE JETGENERAL,
  COLOR1 INTEGER,
  COLOR2 INTEGER,
  PLAT INTEGER,
  VENDER TEXT COLLATE JETGENERAL,
  種類 TEXT COLLATE JETGENERAL,
  留版 INTEGER,
  PRIMARY KEY (PO, NO)
) WITHOUT ROWID;

-- Cutting dies: REM the die code, VENDER the die maker, VENDER1 the die-cutting vendor.
CREATE TABLE [刀模] (
  PO TEXT COLLATE JETGENERAL,
  REM TEXT COLLATE JETGENERAL,
  VENDER TEXT COLLATE JETGENERAL,
  VENDER1 TEXT COLLATE JETGENERAL,
  PRIMARY KEY (PO, REM)
) WITHOUT ROWID;

-- Reworks of a work order: 種類 the department at fault (印刷, 工單, 製版), SUM the cost.
CREATE TABLE [重工] (
  PO TEXT COLLATE JETGENERAL,
  NO TEXT COLLATE JETGENERAL,
  種類 TEXT COLLATE JETGENERAL,
  QTY REAL,
  PRICE REAL,
  AMT REAL,
  SUM REAL,
  PDATE TEXT COLLATE JETGENERAL,
  原因 TEXT COLLATE JETGENERAL,
  PRIMARY KEY (PO, NO)
) WITHOUT ROWID;

-- Finished goods stocked in per work order (PO) and item (PID = the item code).
CREATE TABLE [工單產品入庫數] (
  PO TEXT COLLATE JETGENERAL,
  PID TEXT COLLATE JETGENERAL,
  入庫數量 REAL,
  PRIMARY KEY (PO, PID)
) WITHOUT ROWID;

------------------------------------------------------------------------------------------------
-- Report sources (the suite's stored queries)
------------------------------------------------------------------------------------------------

-- The work-order overview: one line per work order with customer, salesperson, keyer and clerk
-- names, the item and its process sheet, and the salesperson's twenty groups (the group scope of a
-- restricted user compares them). SUM is the cost and 毛利 the margin, as 表2 prints them.
CREATE VIEW [歷史工單明細] AS SELECT
  w.PO, w.ODATE, w.CUST, c.SNAME, w.EMPNO, e.NAME, w.EMPNO1, k.NAME AS EMPNAME1,
  w.工務人員代號, s.NAME AS 工務人員, w.KIND, w.分類, w.CUSTNO, w.採購單號, w.CODE, p.[DESC],
  w.QTY, p.UNIT, w.PRICE, w.AMT, w.AMT AS 稅前金額, w.OTAMT, w.COST, w.COST AS SUM,
  w.AMT + w.OTAMT - w.COST AS 毛利, w.PDATE, w.FDATE, w.FSEND, w.不送貨, w.發票號碼, w.發票日期, w.YN,
  p.SPEC, p.紙品, p.COLOR1, p.COLOR2, p.上光, p.裱紙, p.軋工, p.糊工, p.裁工, p.裝訂, p.燙金, p.其他,
  e.[GROUP], e.GROUP1, e.GROUP2, e.GROUP3, e.GROUP4, e.GROUP5, e.GROUP6, e.GROUP7, e.GROUP8,
  e.GROUP9, e.GROUP10, e.GROUP11, e.GROUP12, e.GROUP13, e.GROUP14, e.GROUP15, e.GROUP16,
  e.GROUP17, e.GROUP18, e.GROUP19
FROM [工單主檔] w
  LEFT JOIN [CUST] c ON c.ID = w.CUST
  LEFT JOIN [EMPLOYEE] e ON e.ID = w.EMPNO
  LEFT JOIN [EMPLOYEE] k ON k.ID = w.EMPNO1
  LEFT JOIN [EMPLOYEE] s ON s.ID = w.工務人員代號
  LEFT JOIN [產品資料] p ON p.CODE = w.CODE;

-- 表2 (cost and margin) and 表3 (process sheet) read the same lines. [歷史工單明細2] must not carry
-- MEMB: 表3 joins CROWD and selects CROWD.MEMB beside it.
CREATE VIEW [歷史工單明細1] AS SELECT * FROM [歷史工單明細];
CREATE VIEW [歷史工單明細2] AS SELECT * FROM [歷史工單明細];

-- With die codes: one line per process line of the order (an order without one still shows once).
CREATE VIEW [歷史工單明細3] AS SELECT
  h.*, l.NO, l.DESC1, l.ITEM, v.SNAME AS SVENDER, l.REM
FROM [歷史工單明細] h
  LEFT JOIN [工單製程] l ON l.PO = h.PO
  LEFT JOIN [VENDER] v ON v.ID = l.VENDER;

-- With combined plates: one line per combined-plate line of the order, or one line with NO NULL.
CREATE VIEW [歷史工單明細4] AS SELECT
  h.*, m.NO, m.合版客戶簡稱, m.合版代號, m.合版名稱, m.合版數量, m.合版單價, m.合版小計, m.合版單位
FROM [歷史工單明細] h
  LEFT JOIN [合版明細] m ON m.PO = h.PO;

-- Work orders not fully delivered: ordered, delivered and outstanding quantities and the stock of
-- the item. 不送貨 orders stay in; the delivery filter of the query decides about them.
CREATE VIEW [工單未出明細] AS SELECT
  h.*, '1' AS NO, w.已出數量, h.QTY - w.已出數量 AS 未出數量, p.STOCK, w.種類
FROM [歷史工單明細] h
  JOIN [工單主檔] w ON w.PO = h.PO
  LEFT JOIN [產品資料] p ON p.CODE = h.CODE
WHERE w.已出數量 < w.QTY;

-- 表5, the production sheet: one line per printing step. QTY and FREE are the paper in reams and
-- sheets, QTY1 the ordered quantity, QTY2 the overrun, OAMT the estimated cost, AMT the quote.
CREATE VIEW [工單生產報表] AS SELECT
  h.PO, l.NO, h.ODATE, h.CUST, h.SNAME, h.EMPNO, h.NAME, h.[DESC], l.ITEM, l.SPEC, l.色數正, l.色數反,
  l.開數1, l.耗時, l.生產量, h.QTY AS QTY1, l.QTY2, h.COST AS OAMT, h.AMT, l.令數 AS QTY, l.FREE,
  h.[GROUP], h.GROUP1, h.GROUP2, h.GROUP3, h.GROUP4, h.GROUP5, h.GROUP6, h.GROUP7, h.GROUP8,
  h.GROUP9, h.GROUP10, h.GROUP11, h.GROUP12, h.GROUP13, h.GROUP14, h.GROUP15, h.GROUP16,
  h.GROUP17, h.GROUP18, h.GROUP19
FROM [歷史工單明細] h
  JOIN [工單製程] l ON l.PO = h.PO
WHERE l.DESC1 = '印刷';

-- Reworks with their work order.
CREATE VIEW [重工明細表] AS SELECT
  r.種類, r.PO, r.NO, h.ODATE, h.CUST, h.SNAME, h.[DESC], h.EMPNO, h.NAME, r.QTY, r.PRICE, r.AMT, r.PDATE,
  r.SUM, r.原因
FROM [重工] r
  JOIN [歷史工單明細] h ON h.PO = r.PO;

-- Proofs are the work orders of the category 打樣.
CREATE VIEW [打樣明細表] AS SELECT
  PO, ODATE, CUST, SNAME, [DESC], EMPNO, NAME, QTY, PRICE, AMT, PDATE, SUM
FROM [歷史工單明細]
WHERE KIND = '打樣';

-- Retained plates with their work order and plate maker.
CREATE VIEW [留版明細表4] AS SELECT
  p.PO, p.NO, h.ODATE, h.CUST, h.SNAME, p.VENDER, v.SNAME AS SVENDER, h.EMPNO, h.NAME, p.種類,
  h.[DESC], p.SIZE, p.COLOR1, p.COLOR2, p.PLAT
FROM [PLATE] p
  JOIN [歷史工單明細] h ON h.PO = p.PO
  LEFT JOIN [VENDER] v ON v.ID = p.VENDER
WHERE p.留版 = 1;

-- Cutting dies with their work order, die maker (VENDER) and die cutter (VENDER1).
CREATE VIEW [刀模明細表] AS SELECT
  d.PO, d.REM, d.VENDER, v.SNAME AS SVENDER, d.VENDER1, v1.SNAME AS SVENDER1, h.ODATE, h.CUST,
  h.SNAME, h.[DESC], h.QTY, h.UNIT, h.EMPNO, h.NAME
FROM [刀模] d
  JOIN [歷史工單明細] h ON h.PO = d.PO
  LEFT JOIN [VENDER] v ON v.ID = d.VENDER
  LEFT JOIN [VENDER] v1 ON v1.ID = d.VENDER1;
