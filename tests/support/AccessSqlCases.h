// A table of Access SQL and the rows Access gives, over a small order database whose columns carry
// Jet's types: the same cases run on SQLite (tests/db/sql) and on the PostgreSQL server (tests/pg),
// so each construct is checked once per engine against one expectation.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "db/Connection.h"
#include "db/PgSchema.h"

namespace tarvel::test {

struct AccessSqlCase {
  const char* sql;
  /// The header line, then one line per row; fields separated by tabs, NULL written NULL.
  const char* rows;
  /// Parameter values, "name=value" each.
  std::vector<const char*> parameters = {};
};

/// The order database: tables with Jet's types (DATETIME, YESNO, CURRENCY) and rows chosen so the
/// constructs differ: two customers of one name, a customer without orders, ties in price, a NULL
/// date, a time of day.
inline const char* const kAccessSqlTables[] = {
    "Customers|CustomerID TEXT,CompanyName TEXT,City TEXT,Country TEXT",
    "Orders|OrderID INTEGER,CustomerID TEXT,OrderDate DATETIME,ShippedDate DATETIME,"
    "Freight CURRENCY,Rush YESNO",
    "Order Details|OrderID INTEGER,ProductID INTEGER,UnitPrice CURRENCY,Quantity INTEGER,"
    "Discount REAL",
    "Products|ProductID INTEGER,ProductName TEXT,UnitPrice CURRENCY,Discontinued YESNO",
};

inline const char* const kAccessSqlRows[] = {
    "Customers|'ALFKI','Alfreds Futterkiste','Berlin','Germany'",
    "Customers|'ANATR','Ana Trujillo','México D.F.','Mexico'",
    "Customers|'BONAP','Bon app''','Marseille','France'",
    "Customers|'BONA2','Bon app''','Lyon','France'",
    "Customers|'COOP1','co-op Store','Oslo',NULL",
    "Customers|'WOLZA','Wolski','Warszawa','Poland'",
    "Orders|10248,'ALFKI','1996-07-04 00:00:00','1996-07-16 00:00:00',32.38,0",
    "Orders|10249,'ALFKI','1996-07-05 00:00:00','1996-07-10 00:00:00',11.61,-1",
    "Orders|10250,'ANATR','1996-07-08 00:00:00','1996-07-12 00:00:00',65.83,0",
    "Orders|10251,'BONAP','1997-01-31 00:00:00',NULL,41.34,-1",
    "Orders|10252,'BONAP','1997-02-28 00:00:00','1997-03-01 00:00:00',51.3,0",
    "Orders|10253,'BONA2','1997-12-31 23:30:00','1998-01-02 10:00:00',58.17,0",
    "Orders|10254,'COOP1','1998-01-01 00:00:00','1998-01-05 00:00:00',22.98,0",
    "Order Details|10248,11,14,12,0",
    "Order Details|10248,42,9.8,10,0",
    "Order Details|10249,14,18.6,9,0",
    "Order Details|10250,41,7.7,10,0",
    "Order Details|10250,51,42.4,35,0.15",
    "Order Details|10251,22,16.8,6,0.05",
    "Order Details|10252,20,64.8,40,0.05",
    "Order Details|10253,31,10,20,0",
    "Order Details|10254,24,3.6,15,0.15",
    "Products|11,'Queso Cabrales',21,0",
    "Products|14,'Tofu',23.25,0",
    "Products|20,'Sir Rodney''s Marmalade',81,0",
    "Products|22,'Gustaf''s Knäckebröd',21,0",
    "Products|24,'Guaraná Fantástica',4.5,-1",
    "Products|31,'Gorgonzola Telino',12.5,0",
    "Products|41,'Jack''s Clam Chowder',9.65,0",
    "Products|42,'Singaporean Hokkien Fried Mee',14,-1",
    "Products|51,'Manjimup Dried Apples',53,0",
};

/// Makes the tables on `connection`: a SQLite file (texts COLLATE NOCASE) or a server (as
/// PgSchema makes a Jet file's tables there).
inline void MakeAccessSqlTables(db::Connection& connection) {
  for (const char* spec : kAccessSqlTables) {
    const QStringList parts = QString::fromUtf8(spec).split(u'|');
    db::PgSchema::Table table{parts[0], {}};
    QStringList sqlite;
    for (const QString& column : parts[1].split(u',')) {
      const QStringList nameType = column.split(u' ');
      table.columns.push_back({nameType[0], nameType[1], 0, true});
      sqlite << QStringLiteral("[") + nameType[0] + QStringLiteral("] ") + nameType[1] +
                    (nameType[1] == QLatin1String("TEXT") ? QStringLiteral(" COLLATE NOCASE")
                                                          : QString());
    }
    if (connection.IsServer())
      connection.ExecuteScript(db::PgSchema::CreateTable(table));
    else
      connection.ExecuteScript(QStringLiteral("CREATE TABLE [") + table.name +
                               QStringLiteral("] (") + sqlite.join(QStringLiteral(", ")) + u')');
  }
  for (const char* row : kAccessSqlRows) {
    const QString text = QString::fromUtf8(row);
    const qsizetype bar = text.indexOf(u'|');
    connection.Execute(QStringLiteral("INSERT INTO [") + text.left(bar) +
                       QStringLiteral("] VALUES (") + text.mid(bar + 1) + u')');
  }
}

/// The rows of `c` on `connection` as the table writes them.
inline QString AccessSqlRows(db::Connection& connection, const AccessSqlCase& c) {
  db::QueryOptions options;
  options.accessWildcards = true;
  for (const char* p : c.parameters) {
    const QString text = QString::fromUtf8(p);
    const qsizetype equals = text.indexOf(u'=');
    options.parameters.insert(db::ParameterKey(text.left(equals)), db::Value(text.mid(equals + 1)));
  }
  const db::Recordset rs = connection.OpenRecordset(QString::fromUtf8(c.sql), options);
  QStringList lines{rs.FieldNames().join(u'\t')};
  for (qint64 r = 0; r < rs.RecordCount(); ++r) {
    QStringList fields;
    for (const db::Value& v : rs.Row(r))
      fields << (v.IsNull() ? QStringLiteral("NULL") : v.ToText());
    lines << fields.join(u'\t');
  }
  return lines.join(u'\n');
}

// clang-format off
inline const AccessSqlCase kAccessSqlCases[] = {
    // Constants and literals.
    {"SELECT True, False, Yes, No, On, Off, Null",
     "Expr1000\tExpr1001\tExpr1002\tExpr1003\tExpr1004\tExpr1005\tExpr1006\n"
     "-1\t0\t-1\t0\t-1\t0\tNULL"},
    {"SELECT \"it's\" AS a, 'say \"x\"' AS b, #1997-01-02# AS c, #1/2/1997 10:05:06 PM# AS d",
     "a\tb\tc\td\nit's\tsay \"x\"\t1997-01-02 00:00:00\t1997-01-02 22:05:06"},
    // Operators in Access's order.
    {"SELECT 2 + 3 * 4 AS a, -2 ^ 2 AS b, 7 \\ 2 AS c, -7 \\ 2 AS d, 7 Mod 3 AS e, -7 Mod 3 AS f, "
     "5.5 Mod 2 AS g, 2 ^ 10 AS h, 10 / 4 AS i",
     "a\tb\tc\td\te\tf\tg\th\ti\n14\t-4\t3\t-3\t1\t-1\t0\t1024\t2.5"},
    {"SELECT \"a\" & Null & 1 & #1/2/1997# AS a, Null & Null AS b, \"a\" + \"b\" AS c, "
     "\"a\" + Null AS d, 1 + \"2\" AS e",
     "a\tb\tc\td\te\na11997/1/2\tNULL\tab\tNULL\t3"},
    {"SELECT (1 < 2) AS a, (1 > 2) AS b, Not (1 > 2) AS c, (1 < 2) And (2 < 1) AS d, "
     "(1 < 2) Or (2 < 1) AS e, (1 < 2) Xor (2 < 3) AS f, Null Is Null AS g, (1 < Null) AS h",
     "a\tb\tc\td\te\tf\tg\th\n-1\t0\t-1\t0\t-1\t0\t-1\tNULL"},
    {"SELECT 5 Between 1 And 10 AS a, 5 Not Between 1 And 4 AS b, 3 In (1, 2, 3) AS c, "
     "'b' Not In ('a', 'c') AS d",
     "a\tb\tc\td\n-1\t-1\t-1\t-1"},
    // Like with Access's wildcards; texts compare without regard to case.
    {"SELECT CustomerID FROM Customers WHERE CompanyName Like \"a*\" ORDER BY CustomerID",
     "CustomerID\nALFKI\nANATR"},
    {"SELECT CustomerID FROM Customers WHERE CustomerID Like \"BONA?\" ORDER BY CustomerID",
     "CustomerID\nBONA2\nBONAP"},
    {"SELECT CustomerID FROM Customers WHERE CustomerID Like \"bona#\"",
     "CustomerID\nBONA2"},
    {"SELECT CustomerID FROM Customers WHERE CustomerID Like \"[a-b]*\" ORDER BY CustomerID",
     "CustomerID\nALFKI\nANATR\nBONA2\nBONAP"},
    {"SELECT CustomerID FROM Customers WHERE CustomerID Like \"[!a-b]*\" ORDER BY CustomerID",
     "CustomerID\nCOOP1\nWOLZA"},
    {"SELECT CustomerID FROM Customers WHERE CompanyName Like \"*'\" AND City Like \"*[.]*\" "
     "OR City Like \"M*\" ORDER BY CustomerID",
     "CustomerID\nANATR\nBONAP"},
    {"SELECT CustomerID FROM Customers WHERE CompanyName Not Like \"*o*\"",
     "CustomerID\nALFKI"},
    {"SELECT CustomerID FROM Customers WHERE CompanyName Like [Start] & \"*\" ORDER BY CustomerID",
     "CustomerID\nBONA2\nBONAP", {"Start=bon"}},
    {"SELECT CustomerID FROM Customers WHERE CustomerID = \"alfki\"", "CustomerID\nALFKI"},
    // NULL, Nz, aggregates and Access's names for them.
    {"SELECT OrderID, Nz(ShippedDate, \"unshipped\") AS Shipped FROM Orders "
     "WHERE OrderID In (10250, 10251) ORDER BY OrderID",
     "OrderID\tShipped\n10250\t1996-07-12 00:00:00\n10251\tunshipped"},
    {"SELECT Count(*), Count(ShippedDate), Sum(Freight), Min(OrderDate), Max(CustomerID) FROM Orders",
     "Expr1000\tCountOfShippedDate\tSumOfFreight\tMinOfOrderDate\tMaxOfCustomerID\n"
     "7\t6\t283.61\t1996-07-04 00:00:00\tCOOP1"},
    {"SELECT CustomerID, Sum(Freight) AS Total, First(OrderID) AS F, Last(OrderID) AS L "
     "FROM Orders GROUP BY CustomerID HAVING Count(*) > 1 ORDER BY CustomerID",
     "CustomerID\tTotal\tF\tL\nALFKI\t43.99\t10248\t10249\nBONAP\t92.64\t10251\t10252"},
    {"SELECT StDev(Quantity) AS S, VarP(Quantity) AS V FROM [Order Details] WHERE OrderID = 10250",
     "S\tV\n17.6776695296637\t156.25"},
    // Dates: arithmetic, parts, differences, making them, formatting them.
    {"SELECT OrderID, ShippedDate - OrderDate AS Days FROM Orders "
     "WHERE ShippedDate Is Not Null ORDER BY OrderID",
     "OrderID\tDays\n10248\t12\n10249\t5\n10250\t4\n10252\t1\n10253\t1.4375\n10254\t4"},
    {"SELECT OrderDate + 30 AS a, DateAdd(\"m\", 1, OrderDate) AS b, "
     "DateAdd(\"yyyy\", -1, #2/29/2000#) AS c, DateAdd(\"h\", 3, OrderDate) AS d "
     "FROM Orders WHERE OrderID = 10251",
     "a\tb\tc\td\n1997-03-02 00:00:00\t1997-02-28 00:00:00\t1999-02-28 00:00:00\t"
     "1997-01-31 03:00:00"},
    {"SELECT DatePart(\"q\", OrderDate) AS q, DatePart(\"ww\", OrderDate) AS ww, "
     "DatePart(\"w\", OrderDate) AS w, DatePart(\"y\", OrderDate) AS y, Year(OrderDate) AS yr, "
     "Month(OrderDate) AS m, Day(OrderDate) AS d, Weekday(OrderDate) AS wd, Hour(OrderDate) AS h, "
     "Minute(OrderDate) AS n FROM Orders WHERE OrderID = 10253",
     "q\tww\tw\ty\tyr\tm\td\twd\th\tn\n4\t53\t4\t365\t1997\t12\t31\t4\t23\t30"},
    {"SELECT DateDiff(\"d\", OrderDate, ShippedDate) AS d, DateDiff(\"yyyy\", OrderDate, ShippedDate) "
     "AS y, DateDiff(\"m\", OrderDate, ShippedDate) AS m, DateDiff(\"h\", OrderDate, ShippedDate) "
     "AS h, DateDiff(\"ww\", OrderDate, ShippedDate) AS ww FROM Orders WHERE OrderID = 10253",
     "d\ty\tm\th\tww\n2\t1\t1\t35\t0"},
    {"SELECT DateSerial(1997, 13, 1) AS a, DateSerial(97, 3, 0) AS b, TimeSerial(25, 0, 0) AS c",
     "a\tb\tc\n1998-01-01 00:00:00\t1997-02-28 00:00:00\t1899-12-31 01:00:00"},
    {"SELECT Format(OrderDate, \"yyyy/mm/dd\") AS a, Format(OrderDate, \"yyyy-m-d h:nn\") AS b, "
     "Format(OrderDate, \"mmmm\") AS c, Format(OrderDate, \"ddd\") AS d, Format(OrderDate, \"q\") "
     "AS e, Format(OrderDate, \"Short Date\") AS f FROM Orders WHERE OrderID = 10253",
     "a\tb\tc\td\te\tf\n1997/12/31\t1997-12-31 23:30\t十二月\t週三\t4\t1997/12/31"},
    {"SELECT Format(1234.5, \"#,##0.00\") AS a, Format(0.256, \"0.0%\") AS b, "
     "Format(-5, \"0;(0)\") AS c, Format(1234.5, \"Currency\") AS d, Format(3, \"0000\") AS e",
     "a\tb\tc\td\te\n1,234.50\t25.6%\t(5)\t$1,234.50\t0003"},
    {"SELECT Format(#1/2/1997#, \"General Date\") AS a, CStr(#1/2/1997 13:05:00#) AS b, "
     "CStr(0.1 + 0.2) AS c",
     "a\tb\tc\n1997/1/2\t1997/1/2 下午 01:05:00\t0.3"},
    {"SELECT OrderID FROM Orders WHERE OrderDate Between #1/1/1997# And #12/31/1997# "
     "ORDER BY OrderID",
     "OrderID\n10251\n10252"},
    {"SELECT OrderID FROM Orders WHERE Format(Freight, \"0.00\") > 60", "OrderID\n10250"},
    // DISTINCT and DISTINCTROW: one row per record of the tables the output shows.
    {"SELECT DISTINCTROW Customers.CompanyName FROM Customers INNER JOIN Orders "
     "ON Customers.CustomerID = Orders.CustomerID ORDER BY Customers.CompanyName",
     "CompanyName\nAlfreds Futterkiste\nAna Trujillo\nBon app'\nBon app'\nco-op Store"},
    {"SELECT DISTINCT Customers.CompanyName FROM Customers INNER JOIN Orders "
     "ON Customers.CustomerID = Orders.CustomerID ORDER BY Customers.CompanyName",
     "CompanyName\nAlfreds Futterkiste\nAna Trujillo\nBon app'\nco-op Store"},
    // TOP keeps the rows tied with the last; PERCENT rounds up.
    {"SELECT ProductName FROM (SELECT TOP 4 ProductName, UnitPrice FROM Products "
     "ORDER BY UnitPrice DESC) AS t ORDER BY ProductName",
     "ProductName\nGustaf's Knäckebröd\nManjimup Dried Apples\nQueso Cabrales\n"
     "Sir Rodney's Marmalade\nTofu"},
    {"SELECT TOP 50 PERCENT ProductID FROM Products ORDER BY ProductID",
     "ProductID\n11\n14\n20\n22\n24"},
    {"SELECT Count(*) AS n FROM (SELECT TOP 2 OrderID FROM Orders) AS t", "n\n2"},
    // Unions, with the final ORDER BY by name or position, and TABLE members.
    {"SELECT City FROM Customers WHERE Country = \"France\" UNION SELECT \"Paris\" FROM Orders "
     "ORDER BY 1",
     "City\nLyon\nMarseille\nParis"},
    {"SELECT CustomerID, \"c\" AS Kind FROM Customers WHERE CustomerID Like \"A*\" UNION ALL "
     "SELECT CustomerID, \"o\" FROM Orders WHERE OrderID < 10250 ORDER BY Kind, CustomerID",
     "CustomerID\tKind\nALFKI\tc\nANATR\tc\nALFKI\to\nALFKI\to"},
    {"SELECT Count(*) AS n FROM (TABLE Customers UNION SELECT * FROM Customers) AS t", "n\n6"},
    // Subqueries in WHERE, EXISTS, IN and FROM, also as Access keeps them ([SELECT …]. AS x).
    {"SELECT ProductName FROM Products WHERE UnitPrice > (SELECT Avg(UnitPrice) FROM Products) "
     "ORDER BY ProductName",
     "ProductName\nManjimup Dried Apples\nSir Rodney's Marmalade"},
    {"SELECT CompanyName FROM Customers WHERE Not Exists "
     "(SELECT * FROM Orders WHERE Orders.CustomerID = Customers.CustomerID)",
     "CompanyName\nWolski"},
    {"SELECT CustomerID FROM Customers WHERE CustomerID In "
     "(SELECT CustomerID FROM Orders WHERE Freight > 50) ORDER BY CustomerID",
     "CustomerID\nANATR\nBONA2\nBONAP"},
    {"SELECT t.CustomerID, t.N FROM (SELECT CustomerID, Count(*) AS N FROM Orders "
     "GROUP BY CustomerID) AS t WHERE t.N > 1 ORDER BY t.CustomerID",
     "CustomerID\tN\nALFKI\t2\nBONAP\t2"},
    {"SELECT Count(*) AS n FROM [SELECT OrderID FROM Orders WHERE Rush]. AS r", "n\n2"},
    // An alias stands for its expression in WHERE and ORDER BY.
    {"SELECT OrderID, Freight * 2 AS Twice FROM Orders WHERE Twice > 100 ORDER BY Twice DESC",
     "OrderID\tTwice\n10250\t131.66\n10253\t116.34\n10252\t102.6"},
    // Joins, nested in parentheses as Access writes them.
    {"SELECT Orders.OrderID, Products.ProductName FROM (Orders INNER JOIN [Order Details] "
     "ON Orders.OrderID = [Order Details].OrderID) INNER JOIN Products "
     "ON [Order Details].ProductID = Products.ProductID WHERE Orders.CustomerID = \"ALFKI\" "
     "ORDER BY Orders.OrderID, Products.ProductName",
     "OrderID\tProductName\n10248\tQueso Cabrales\n10248\tSingaporean Hokkien Fried Mee\n10249\tTofu"},
    {"SELECT Customers.CustomerID, Orders.OrderID FROM Customers LEFT JOIN Orders "
     "ON Customers.CustomerID = Orders.CustomerID WHERE Orders.OrderID Is Null",
     "CustomerID\tOrderID\nWOLZA\tNULL"},
    {"SELECT Count(*) AS n FROM Orders RIGHT JOIN Customers ON Orders.CustomerID = Customers.CustomerID",
     "n\n8"},
    // Text functions: positions from 1, texts compared without regard to case.
    {"SELECT Left(\"abcdef\", 2) AS a, Right(\"abcdef\", 2) AS b, Mid(\"abcdef\", 2, 3) AS c, "
     "Mid(\"abcdef\", 5) AS d, Mid(\"abc\", 10) AS e, Len(\"中文字\") AS f, InStr(\"abcabc\", \"C\") AS g, "
     "InStr(3, \"abcabc\", \"c\") AS h, InStr(\"abc\", \"z\") AS i, InStrRev(\"abcabc\", \"b\") AS j",
     "a\tb\tc\td\te\tf\tg\th\ti\tj\nab\tef\tbcd\tef\t\t3\t3\t3\t0\t5"},
    {"SELECT UCase(\"ab\") AS a, LCase(\"AB\") AS b, Trim(\"  x  \") AS c, Space(2) & \"|\" AS d, "
     "String(3, \"xy\") AS e, Replace(\"aXbXc\", \"X\", \"-\") AS f, StrComp(\"a\", \"B\") AS g, "
     "Asc(\"A\") AS h, Chr(66) AS i",
     "a\tb\tc\td\te\tf\tg\th\ti\nAB\tab\tx\t  |\txxx\ta-b-c\t-1\t65\tB"},
    // Numbers and conversions: Round and CInt round half to even.
    {"SELECT Round(2.5) AS a, Round(3.5) AS b, Round(2.675, 2) AS c, Round(-2.5) AS d, "
     "Int(-1.5) AS e, Fix(-1.5) AS f, Abs(-3) AS g, Sgn(-0.1) AS h, Sqr(16) AS i",
     "a\tb\tc\td\te\tf\tg\th\ti\n2\t4\t2.68\t-2\t-2\t-1\t3\t-1\t4"},
    {"SELECT CInt(2.5) AS a, CInt(3.5) AS b, CLng(\"12\") AS c, CCur(1.23456) AS d, "
     "Val(\" 1 2.5abc\") AS e, Str(5) AS f, IsNumeric(\"1,234\") AS g, IsNumeric(\"x\") AS h, "
     "IsDate(\"1997-01-02\") AS i, CBool(5) AS j",
     "a\tb\tc\td\te\tf\tg\th\ti\tj\n2\t4\t12\t1.2346\t12.5\t 5\t-1\t0\t-1\t-1"},
    {"SELECT IIf(Freight > 50, \"high\", \"low\") AS a, "
     "Switch(Freight < 20, \"a\", Freight < 50, \"b\", True, \"c\") AS b, Choose(2, \"x\", \"y\", \"z\") AS c "
     "FROM Orders WHERE OrderID = 10249",
     "a\tb\tc\nlow\ta\ty"},
    // Yes/No columns hold -1 and 0.
    {"SELECT OrderID FROM Orders WHERE Rush = Yes ORDER BY OrderID", "OrderID\n10249\n10251"},
    {"SELECT Count(*) AS n FROM Orders WHERE Not Rush", "n\n5"},
    // Parameters: declared and typed, or names that are no column.
    {"PARAMETERS [Beginning Date] DateTime, [Ending Date] DateTime; SELECT OrderID FROM Orders "
     "WHERE OrderDate Between [Beginning Date] And [Ending Date] ORDER BY OrderID",
     "OrderID\n10251\n10252", {"Beginning Date=1997-01-01", "Ending Date=12/31/1997"}},
    {"SELECT CompanyName FROM Customers WHERE CustomerID = [Forms]![Orders]![CustomerID]",
     "CompanyName\nAna Trujillo", {"[Forms]![Orders]![CustomerID]=ANATR"}},
    // Crosstabs: a column per pivot value, NULL where there are no rows; or the IN list's columns.
    {"TRANSFORM Sum(Freight) AS SumOfFreight SELECT CustomerID FROM Orders GROUP BY CustomerID "
     "PIVOT Year(OrderDate)",
     "CustomerID\t1996\t1997\t1998\nALFKI\t43.99\tNULL\tNULL\nANATR\t65.83\tNULL\tNULL\n"
     "BONA2\tNULL\t58.17\tNULL\nBONAP\tNULL\t92.64\tNULL\nCOOP1\tNULL\tNULL\t22.98"},
    {"TRANSFORM Count(OrderID) SELECT CustomerID FROM Orders WHERE CustomerID Like \"B*\" "
     "GROUP BY CustomerID PIVOT \"Q\" & DatePart(\"q\", OrderDate) IN (\"Q1\", \"Q4\")",
     "CustomerID\tQ1\tQ4\nBONA2\tNULL\t1\nBONAP\t2\tNULL"},
};
// clang-format on

}  // namespace tarvel::test
