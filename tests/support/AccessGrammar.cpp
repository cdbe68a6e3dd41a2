#include "support/AccessGrammar.h"

#include <QStringList>
#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>
#include <numeric>
#include <span>

namespace tarvel::test {
namespace {

// A production: its weight among the others of its type, its form, and what fills each hole, one
// letter per hole:
//   N T D B   an expression of that type (number, text, date, Yes/No), at the current level
//   A         an expression of any type
//   R S E X   inside an aggregate: a row's number, text, date, or any value
//   w p c i f g n l k d y u m v h   a constant from the table of that letter (kConstants)
struct Production {
  int weight;
  const char* form;
  const char* fills;
};

// Numbers, the operators and every function that gives one.
constexpr Production kNumber[] = {
    {4, "($1 + $2)", "NN"},
    {3, "($1 - $2)", "NN"},
    {3, "($1 * $2)", "NN"},
    {3, "($1 / $2)", "NN"},
    {2, "($1 \\ $2)", "NN"},
    {2, "($1 Mod $2)", "NN"},
    {1, "($1 ^ $2)", "Nw"},
    {1, "-$1", "N"},
    {1, "($1 + $2)", "TN"},
    {1, "($1 * $2)", "TN"},
    {1, "($1 - $2)", "DD"},
    {2, "Abs($1)", "N"},
    {2, "Int($1)", "N"},
    {2, "Fix($1)", "N"},
    {2, "Round($1)", "N"},
    {3, "Round($1, $2)", "Np"},
    {1, "Sgn($1)", "N"},
    {1, "Sqr($1)", "N"},
    {2, "CInt($1)", "N"},
    {2, "CLng($1)", "N"},
    {1, "CSng($1)", "N"},
    {1, "CDbl($1)", "N"},
    {3, "CCur($1)", "N"},
    {1, "CDec($1)", "N"},
    {1, "CInt($1)", "T"},
    {1, "CDbl($1)", "T"},
    {1, "CCur($1)", "T"},
    {1, "CLng($1)", "D"},
    {1, "CDbl($1)", "D"},
    {3, "Val($1)", "T"},
    {2, "Len($1)", "T"},
    {1, "Len($1)", "N"},
    {2, "InStr($1, $2)", "TT"},
    {1, "InStr($1, $2, $3)", "wTT"},
    {1, "InStr($1, $2, $3, $4)", "wTTk"},
    {1, "InStrRev($1, $2)", "TT"},
    {1, "InStrRev($1, $2, $3)", "TTw"},
    {1, "StrComp($1, $2)", "TT"},
    {1, "StrComp($1, $2, $3)", "TTk"},
    {1, "Asc($1)", "T"},
    {2, "Year($1)", "D"},
    {2, "Month($1)", "D"},
    {2, "Day($1)", "D"},
    {1, "Hour($1)", "D"},
    {1, "Minute($1)", "D"},
    {1, "Second($1)", "D"},
    {1, "Weekday($1)", "D"},
    {1, "Weekday($1, $2)", "Dd"},
    {2, "DatePart($1, $2)", "iD"},
    {1, "DatePart($1, $2, $3, $4)", "iDdy"},
    {2, "DateDiff($1, $2, $3)", "iDD"},
    {1, "DateDiff($1, $2, $3, $4, $5)", "iDDdy"},
    {3, "IIf($1, $2, $3)", "BNN"},
    {2, "Nz($1, $2)", "NN"},
    {1, "Nz($1)", "N"},
    {1, "Switch($1, $2, $3, $4)", "BNBN"},
    {1, "Choose($1, $2, $3, $4)", "wNNN"},
    {1, "(SELECT Count(*) FROM [工單製程] AS [x] WHERE [x].[PO] = $1)", "T"},
    {1, "(SELECT Max([RATE]) FROM [CUST] WHERE [ID] <> $1)", "T"},
};

// Texts.
constexpr Production kText[] = {
    {4, "($1 & $2)", "TT"},
    {2, "($1 & $2)", "AA"},
    {2, "($1 + $2)", "TT"},
    {3, "Left($1, $2)", "Tw"},
    {2, "Right($1, $2)", "Tw"},
    {3, "Mid($1, $2)", "Tw"},
    {3, "Mid($1, $2, $3)", "Tww"},
    {2, "Trim($1)", "T"},
    {1, "LTrim($1)", "T"},
    {1, "RTrim($1)", "T"},
    {2, "UCase($1)", "T"},
    {2, "LCase($1)", "T"},
    {1, "Space($1)", "w"},
    {1, "String($1, $2)", "wc"},
    {1, "String($1, $2)", "wT"},
    {2, "Replace($1, $2, $3)", "TTT"},
    {1, "Replace($1, $2, $3, $4, $5, $6)", "TTTwwk"},
    {1, "Chr($1)", "c"},
    {3, "CStr($1)", "A"},
    {2, "Str($1)", "N"},
    {3, "Format($1, $2)", "Nf"},
    {3, "Format($1, $2)", "Dg"},
    {2, "Format($1, $2)", "An"},
    {1, "Format($1, $2)", "Tu"},
    {1, "Format($1)", "A"},
    {1, "MonthName($1)", "m"},
    {1, "MonthName($1, True)", "m"},
    {1, "Hex($1)", "N"},
    {2, "IIf($1, $2, $3)", "BTT"},
    {2, "Nz($1, $2)", "TT"},
    {1, "Switch($1, $2, True, $3)", "BTT"},
    {1, "Choose($1, $2, $3)", "wTT"},
    {1, "(SELECT Max([SNAME]) FROM [CUST] WHERE [ID] = $1)", "T"},
};

// Dates.
constexpr Production kDate[] = {
    {3, "DateAdd($1, $2, $3)", "iwD"},
    {1, "DateAdd($1, $2, $3)", "iND"},
    {3, "DateSerial($1, $2, $3)", "vmw"},
    {1, "DateSerial(Year($1), Month($1) + 1, 0)", "D"},
    {1, "TimeSerial($1, $2, $3)", "hhh"},
    {2, "DateValue($1)", "D"},
    {1, "DateValue($1)", "T"},
    {2, "CDate($1)", "T"},
    {1, "CDate($1)", "N"},
    {2, "($1 + $2)", "DN"},
    {1, "($1 - $2)", "DN"},
    {2, "IIf($1, $2, $3)", "BDD"},
    {1, "Nz($1, $2)", "DD"},
    {1, "Switch($1, $2, True, $3)", "BDD"},
};

// Yes/No: comparisons, Like, Between, In, Is Null, the logical operators, the tests, subqueries.
constexpr Production kYesNo[] = {
    {4, "($1 = $2)", "NN"},
    {3, "($1 = $2)", "TT"},
    {2, "($1 = $2)", "DD"},
    {1, "($1 = $2)", "TN"},
    {2, "($1 <> $2)", "NN"},
    {2, "($1 <> $2)", "TT"},
    {3, "($1 < $2)", "NN"},
    {2, "($1 < $2)", "TT"},
    {2, "($1 < $2)", "DD"},
    {2, "($1 >= $2)", "NN"},
    {1, "($1 >= $2)", "TT"},
    {1, "($1 > $2)", "DD"},
    {1, "($1 <= $2)", "TT"},
    {3, "($1 Like $2)", "Tl"},
    {1, "($1 Not Like $2)", "Tl"},
    {1, "($1 Like $2)", "TT"},
    {2, "($1 Between $2 And $3)", "NNN"},
    {1, "($1 Between $2 And $3)", "TTT"},
    {1, "($1 Between $2 And $3)", "DDD"},
    {1, "($1 Not Between $2 And $3)", "NNN"},
    {2, "($1 In ($2, $3, $4))", "NNNN"},
    {2, "($1 In ($2, $3))", "TTT"},
    {1, "($1 Not In ($2, $3))", "TTT"},
    {1, "($1 In ($2, $3))", "DDD"},
    {3, "($1 Is Null)", "A"},
    {2, "($1 Is Not Null)", "A"},
    {2, "(Not $1)", "B"},
    {3, "($1 And $2)", "BB"},
    {3, "($1 Or $2)", "BB"},
    {1, "($1 Xor $2)", "BB"},
    {1, "($1 Eqv $2)", "BB"},
    {2, "IsNull($1)", "A"},
    {2, "IsNumeric($1)", "A"},
    {2, "IsDate($1)", "A"},
    {1, "CBool($1)", "N"},
    {1, "IIf($1, $2, $3)", "BBB"},
    {1, "($1 In (SELECT [ID] FROM [CUST] WHERE [RATE] > 0))", "T"},
    {1, "($1 In (SELECT [QTY] FROM [工單主檔] WHERE [KIND] = '打樣'))", "N"},
    {1, "Exists (SELECT * FROM [工單製程] AS [x] WHERE [x].[PO] = $1 AND [x].[DESC1] = '軋工')",
     "T"},
    {1, "($1 > (SELECT Avg([PRICE]) FROM [工單主檔]))", "N"},
};

// The aggregates, by the type they give: the leaves of a grouped query's expressions.
constexpr Production kNumberAggregates[] = {
    {5, "Sum($1)", "R"},   {4, "Count(*)", ""},    {2, "Count($1)", "X"}, {3, "Avg($1)", "R"},
    {2, "Min($1)", "R"},   {2, "Max($1)", "R"},    {1, "First($1)", "R"}, {1, "Last($1)", "R"},
    {1, "StDev($1)", "R"}, {1, "StDevP($1)", "R"}, {1, "Var($1)", "R"},   {1, "VarP($1)", "R"},
};
constexpr Production kTextAggregates[] = {
    {3, "Min($1)", "S"}, {3, "Max($1)", "S"}, {1, "First($1)", "S"}, {1, "Last($1)", "S"}};
constexpr Production kDateAggregates[] = {{3, "Min($1)", "E"}, {3, "Max($1)", "E"}};

struct Constant {
  int weight;
  const char* text;
};

// Literals of each type, the plausible and the edges: whole and fractional, large and small,
// negative, half-way cases of rounding, the limits of Integer, Long and Currency; texts with
// quotes, blanks, digits, separators, hexadecimal and octal forms, dates and accents; dates far
// and near, with and without a time.
constexpr Constant kNumbers[] = {
    {6, "0"},
    {6, "1"},
    {4, "2"},
    {4, "-1"},
    {3, "2.5"},
    {3, "0.5"},
    {3, "1.5"},
    {2, "-2.5"},
    {2, "0.125"},
    {2, "0.1"},
    {2, "3.14159"},
    {2, "100"},
    {2, "1000000"},
    {2, "32767"},
    {2, "32768"},
    {2, "-32768"},
    {2, "40000"},
    {2, "2147483647"},
    {2, "2147483648"},
    {2, "3E9"},
    {2, "1E+20"},
    {1, "1E-05"},
    {1, "123456789.125"},
    {1, "922337203685477"},
    {1, "0.0001"},
    {1, "1.005"},
    {1, "32767.5"},
    {1, "255"},
    {1, "65"},
    {1, "1E+300"},
    {1, "2.675"},
    {1, "-0.5"},
};
constexpr Constant kTexts[] = {
    {6, "'abc'"},
    {4, "''"},
    {3, "' '"},
    {3, "'ABC'"},
    {3, "'It''s'"},
    {1, "'say \"x\"'"},
    {3, "'12'"},
    {2, "' 3.5 '"},
    {2, "'1,'"},
    {2, "'1,234.5'"},
    {2, "'&H1F'"},
    {1, "'&O17'"},
    {2, "'1e3'"},
    {2, "'-7'"},
    {2, "'2024/1/5'"},
    {2, "'1/2/1997'"},
    {1, "'1997-01-02 10:30:00'"},
    {1, "'10:30'"},
    {2, "'中文字'"},
    {2, "'côte'"},
    {1, "'co-op'"},
    {1, "'a*b'"},
    {1, "'50%'"},
    {1, "'x_y'"},
    {1, "'[a]'"},
    {1, "'#1'"},
    {1, "'True'"},
    {1, "'  lead'"},
    {1, "'trail  '"},
    {1, "'Sir Tom''s Jam'"},
    {1, "'C0001'"},
    {1, "'1131201'"},
};
constexpr Constant kDates[] = {
    {4, "#1997-01-02#"},          {3, "#1/2/1997 10:05:06 PM#"}, {2, "#2000-02-29#"},
    {2, "#1899-12-30#"},          {2, "#12/31/9999#"},           {1, "#1/1/100#"},
    {2, "#2024-12-31 23:59:59#"}, {1, "#1900-01-01#"},           {2, "#2026-12-04#"},
    {1, "#1899-12-29 06:00:00#"}, {1, "#2024-11-30 12:00:00#"},
};

constexpr Constant kYesNos[] = {{1, "True"}, {1, "False"}};

// The tables of the constant arguments (the lower-case letters of a production).
struct ConstantTable {
  char letter;
  Kind kind;
  std::span<const Constant> values;
};
constexpr Constant kWhole[] = {{3, "0"},    {5, "1"},   {4, "2"},   {3, "3"},
                               {2, "5"},    {2, "-1"},  {1, "10"},  {1, "255"},
                               {1, "Null"}, {1, "2.5"}, {1, "1.5"}, {1, "100"}};
constexpr Constant kPlaces[] = {{2, "0"}, {2, "1"}, {4, "2"}, {1, "3"}, {1, "4"}, {1, "-1"}};
constexpr Constant kCharCodes[] = {{4, "65"},  {2, "97"},    {1, "48"}, {1, "0"},     {1, "32"},
                                   {1, "255"}, {2, "20013"}, {1, "-1"}, {1, "65536"}, {1, "Null"}};
constexpr Constant kIntervals[] = {{3, "'yyyy'"}, {2, "'q'"}, {3, "'m'"},  {1, "'y'"},
                                   {3, "'d'"},    {2, "'w'"}, {2, "'ww'"}, {2, "'h'"},
                                   {2, "'n'"},    {2, "'s'"}, {1, "'x'"},  {1, "'D'"}};
constexpr Constant kNumberPatterns[] = {
    {3, "'0'"},
    {3, "'0.00'"},
    {3, "'#,##0'"},
    {3, "'#,##0.00'"},
    {2, "'0%'"},
    {1, "'0.0%'"},
    {2, "'#.##'"},
    {2, "'00000'"},
    {1, "'$#,##0.00;($#,##0.00)'"},
    {1, "'0;-0;\"zero\"'"},
    {1, "'0.00E+00'"},
    {1, "'\\#0'"},
    {1, "'\"N\"0'"},
    {1, "'#,##0.00;;;'"},
    {1, "';;;'"},
    {1, "''"},
    {1, "'@@@@'"},
    {1, "'0.0000'"},
    {1, "'#,##0;(#,##0);\"-\";\"無\"'"},
};
constexpr Constant kDatePatterns[] = {
    {3, "'yyyy/mm/dd'"},  {2, "'yyyy-mm-dd hh:nn:ss'"},
    {2, "'dddd'"},        {1, "'ddd'"},
    {2, "'mmmm'"},        {1, "'mmm'"},
    {1, "'q'"},           {1, "'ww'"},
    {1, "'w'"},           {1, "'y'"},
    {2, "'h:n:s AM/PM'"}, {1, "'hh:nn a/p'"},
    {1, "'AMPM h:nn'"},   {1, "'ttttt'"},
    {1, "'c'"},           {1, "'ddddd'"},
    {1, "'dddddd'"},      {1, "'yy'"},
    {2, "'m/d/yy'"},      {1, "'\"Q\"q yyyy'"},
    {1, "'d-mmm'"},       {1, "'\\d'"},
};
constexpr Constant kNamedFormats[] = {
    {2, "'General Number'"}, {2, "'Currency'"},     {2, "'Fixed'"},       {2, "'Standard'"},
    {2, "'Percent'"},        {1, "'Scientific'"},   {1, "'Yes/No'"},      {1, "'True/False'"},
    {1, "'On/Off'"},         {2, "'General Date'"}, {2, "'Long Date'"},   {1, "'Medium Date'"},
    {2, "'Short Date'"},     {1, "'Long Time'"},    {1, "'Medium Time'"}, {1, "'Short Time'"},
};
constexpr Constant kLikePatterns[] = {
    {3, "'a*'"}, {3, "'*a*'"},   {2, "'?b*'"}, {2, "'[a-c]*'"}, {1, "'[!a]*'"}, {2, "'*#*'"},
    {2, "'#*'"}, {1, "'*[*]*'"}, {1, "''"},    {2, "'*'"},      {1, "'A?C'"},   {1, "'%'"},
    {1, "'_'"},  {1, "'*''*'"},  {1, "'['"},   {2, "'C00*'"},   {1, "'113*'"},  {1, "'*1'"},
};
constexpr Constant kCompareModes[] = {{3, "0"}, {3, "1"}};
constexpr Constant kFirstDays[] = {{3, "1"}, {2, "2"}, {1, "0"}, {1, "7"}};
constexpr Constant kFirstWeeks[] = {{3, "1"}, {1, "0"}, {2, "2"}, {2, "3"}};
constexpr Constant kTextPatterns[] = {{2, "'@@@@'"},  {2, "'>'"},   {2, "'<'"}, {1, "'&&&&&'"},
                                      {1, "'!@@@@'"}, {1, "'@-@'"}, {1, "''"}};
constexpr Constant kMonths[] = {{3, "1"}, {2, "2"}, {3, "12"}, {1, "13"}, {1, "0"}, {1, "-1"}};
constexpr Constant kYears[] = {{4, "2024"},  {3, "1997"}, {1, "99"},  {1, "30"},
                               {1, "29"},    {1, "0"},    {1, "100"}, {1, "9999"},
                               {1, "10000"}, {1, "1899"}, {1, "-1"},  {2, "2026"}};
constexpr Constant kClock[] = {{3, "0"},  {2, "1"},  {2, "12"}, {1, "23"}, {1, "24"},
                               {1, "59"}, {1, "60"}, {1, "-1"}, {1, "90"}};

constexpr ConstantTable kConstants[] = {
    {'w', Kind::Number, kWhole},        {'p', Kind::Number, kPlaces},
    {'c', Kind::Number, kCharCodes},    {'i', Kind::Text, kIntervals},
    {'f', Kind::Text, kNumberPatterns}, {'g', Kind::Text, kDatePatterns},
    {'n', Kind::Text, kNamedFormats},   {'l', Kind::Text, kLikePatterns},
    {'k', Kind::Number, kCompareModes}, {'d', Kind::Number, kFirstDays},
    {'y', Kind::Number, kFirstWeeks},   {'u', Kind::Text, kTextPatterns},
    {'m', Kind::Number, kMonths},       {'v', Kind::Number, kYears},
    {'h', Kind::Number, kClock},
};

// The sources of FROM: the demo's tables, a derived table that gives the work orders typed
// columns (dates from the ROC date texts, Yes/No, Currency, Long), a table of literal rows whose
// texts Jet's General sort order has to put in place (spaces and punctuation, accents, case,
// digits, ideographs, NULL) beside numbers and dates at their edges, and joins. A derived table
// is written with only the columns its statement uses, and its literal rows can be cut down.
struct SourceColumn {
  const char* name;        ///< as a statement names it
  char kind;               ///< N T D B
  const char* expression;  ///< how a derived table computes it; null: the column itself
};
using LiteralRow = std::array<const char*, 5>;
struct SourceSpec {
  int weight;
  const char* table;  ///< a table or a join; for a derived table, what it reads
  const char* alias;  ///< a derived table's name; null for the others
  std::span<const SourceColumn> columns;
  std::span<const LiteralRow> rows;  ///< a derived table of literal rows: the values by column
};

constexpr SourceColumn kOrderColumns[] = {
    {"[PO]", 'T', nullptr},       {"[CUST]", 'T', nullptr},  {"[KIND]", 'T', nullptr},
    {"[分類]", 'T', nullptr},     {"[CODE]", 'T', nullptr},  {"[ODATE]", 'T', nullptr},
    {"[FDATE]", 'T', nullptr},    {"[YN]", 'T', nullptr},    {"[發票號碼]", 'T', nullptr},
    {"[QTY]", 'N', nullptr},      {"[PRICE]", 'N', nullptr}, {"[AMT]", 'N', nullptr},
    {"[OTAMT]", 'N', nullptr},    {"[COST]", 'N', nullptr},  {"[不送貨]", 'N', nullptr},
    {"[已出數量]", 'N', nullptr},
};
constexpr SourceColumn kCustomerColumns[] = {
    {"[ID]", 'T', nullptr},    {"[SNAME]", 'T', nullptr}, {"[NAME]", 'T', nullptr},
    {"[EMPNO]", 'T', nullptr}, {"[TEL1]", 'T', nullptr},  {"[PAYDATE]", 'T', nullptr},
    {"[停用]", 'T', nullptr},  {"[RATE]", 'N', nullptr},
};
constexpr SourceColumn kProcessColumns[] = {
    {"[PO]", 'T', nullptr},    {"[NO]", 'T', nullptr},     {"[DESC1]", 'T', nullptr},
    {"[ITEM]", 'T', nullptr},  {"[SPEC]", 'T', nullptr},   {"[VENDER]", 'T', nullptr},
    {"[開數1]", 'T', nullptr}, {"[色數正]", 'N', nullptr}, {"[色數反]", 'N', nullptr},
    {"[耗時]", 'N', nullptr},  {"[生產量]", 'N', nullptr}, {"[QTY2]", 'N', nullptr},
    {"[令數]", 'N', nullptr},  {"[FREE]", 'N', nullptr},
};
constexpr SourceColumn kPlateColumns[] = {
    {"[PO]", 'T', nullptr},   {"[SPEC]", 'T', nullptr},   {"[SIZE]", 'T', nullptr},
    {"[種類]", 'T', nullptr}, {"[COLOR1]", 'N', nullptr}, {"[COLOR2]", 'N', nullptr},
    {"[PLAT]", 'N', nullptr}, {"[留版]", 'N', nullptr},
};
constexpr SourceColumn kTypedOrderColumns[] = {
    {"[PO]", 'T', nullptr},
    {"[CUST]", 'T', nullptr},
    {"[KIND]", 'T', nullptr},
    {"[QTY]", 'N', nullptr},
    {"[AMT]", 'N', nullptr},
    {"[單價]", 'N', "CCur([PRICE])"},
    {"[數量]", 'N', "CLng([QTY])"},
    {"[下單日]", 'D',
     "DateSerial(Val(Left([ODATE], 3)) + 1911, Val(Mid([ODATE], 4, 2)), Val(Right([ODATE], 2)))"},
    {"[完工日]", 'D',
     "IIf([FDATE] Is Null Or [FDATE] = '', Null, DateSerial(Val(Left([FDATE], 3)) + 1911, "
     "Val(Mid([FDATE], 4, 2)), Val(Right([FDATE], 2))))"},
    {"[已審]", 'B', "IIf([YN] = 'Y', True, False)"},
    {"[不送]", 'B', "([不送貨] <> 0)"},
};
constexpr SourceColumn kWordColumns[] = {{"[字]", 'T', nullptr},
                                         {"[號]", 'N', nullptr},
                                         {"[值]", 'N', nullptr},
                                         {"[日]", 'D', nullptr},
                                         {"[是]", 'B', nullptr}};
constexpr LiteralRow kWords[] = {
    {"'Sir Tom''s Jam'", "1", "0.5", "#1997-01-02#", "True"},
    {"'Sirocco'", "2", "-2.5", "#1997-01-02 10:30:00#", "False"},
    {"'San Jose'", "3", "1E+20", "#2000-02-29#", "True"},
    {"'Sandoval'", "4", "0.1", "#1899-12-30#", "False"},
    {"'co-op'", "5", "1.005", "#12/31/9999#", "True"},
    {"'coop'", "6", "2.675", "#1/1/100#", "False"},
    {"'Coz'", "7", "0", "#2024-12-31 23:59:59#", "True"},
    {"'côte'", "8", "-0.5", "#1899-12-29 06:00:00#", "False"},
    {"'cote'", "9", "1.5", "#2026-12-04#", "True"},
    {"'Pâte'", "10", "40000", "#2000-01-01 12:00:00#", "False"},
    {"'Pavé'", "11", "32767.5", "#1997-01-02#", "True"},
    {"'Åland'", "12", "3E9", "#2024-02-29#", "False"},
    {"'Zürich'", "13", "123456789.125", "#1900-03-01#", "True"},
    {"'ABC'", "14", "-1", "#2024-06-15 08:30:00#", "False"},
    {"'abc'", "15", "2147483648", "#2024-06-15#", "True"},
    {"'a b'", "16", "1E-05", "#1997-12-31 23:30:00#", "False"},
    {"'10'", "17", "10", "#2000-02-28#", "True"},
    {"'9'", "18", "9.5", "#1999-12-31#", "False"},
    {"''", "19", "Null", "Null", "Null"},
    {"Null", "20", "2.5", "#2024-12-31#", "Null"},
    {"'中文'", "21", "-32768.5", "#2011-11-11#", "True"},
    {"'丁'", "22", "0.125", "#2012-12-12#", "False"},
    {"'O''Neil'", "23", "1.5", "#2013-01-13#", "True"},
    {"'_x'", "24", "3.14159", "#2014-04-14#", "False"},
};
constexpr SourceColumn kOrderCustomerColumns[] = {
    {"[w].[PO]", 'T', nullptr},   {"[w].[KIND]", 'T', nullptr}, {"[w].[ODATE]", 'T', nullptr},
    {"[w].[QTY]", 'N', nullptr},  {"[w].[AMT]", 'N', nullptr},  {"[c].[SNAME]", 'T', nullptr},
    {"[c].[RATE]", 'N', nullptr}, {"[c].[停用]", 'T', nullptr},
};
constexpr SourceColumn kOrderCrowdColumns[] = {
    {"[w].[PO]", 'T', nullptr},    {"[w].[CUST]", 'T', nullptr}, {"[w].[QTY]", 'N', nullptr},
    {"[w].[PRICE]", 'N', nullptr}, {"[k].[MEMB]", 'N', nullptr},
};

constexpr SourceSpec kSources[] = {
    {5, "[工單主檔]", nullptr, kOrderColumns, {}},
    {2, "[CUST]", nullptr, kCustomerColumns, {}},
    {2, "[工單製程]", nullptr, kProcessColumns, {}},
    {1, "[PLATE]", nullptr, kPlateColumns, {}},
    {3, "[工單主檔]", "[W]", kTypedOrderColumns, {}},
    {3, "[COMPANY]", "[L]", kWordColumns, kWords},
    {2,
     "[工單主檔] AS [w] INNER JOIN [CUST] AS [c] ON [w].[CUST] = [c].[ID]",
     nullptr,
     kOrderCustomerColumns,
     {}},
    {1,
     "[工單主檔] AS [w] LEFT JOIN [CROWD] AS [k] ON [w].[PO] = [k].[PO]",
     nullptr,
     kOrderCrowdColumns,
     {}},
};

// The FROM clause of `source` for a statement whose other clauses read `used`: a derived table
// with the columns they name (at least one), of its literal rows those in `rows`.
QString SourceText(const SourceSpec& source, const std::vector<int>& rows, const QString& used) {
  if (!source.alias) return QString::fromUtf8(source.table);
  std::vector<size_t> columns;
  for (size_t c = 0; c < source.columns.size(); ++c)
    if (used.contains(QString::fromUtf8(source.columns[c].name))) columns.push_back(c);
  if (columns.empty()) columns.push_back(0);
  const QString table = QString::fromUtf8(source.table);
  QStringList selects;
  if (source.rows.empty()) {
    QStringList items;
    for (size_t c : columns) {
      const SourceColumn& column = source.columns[c];
      items << (column.expression ? QString::fromUtf8(column.expression) + QStringLiteral(" AS ")
                                  : QString()) +
                   QString::fromUtf8(column.name);
    }
    selects << QStringLiteral("SELECT ") + items.join(QStringLiteral(", ")) +
                   QStringLiteral(" FROM ") + table;
  }
  for (int r : rows) {
    QStringList items;
    for (size_t c : columns) {
      items << QString::fromUtf8(source.rows[r][c]) +
                   (selects.isEmpty()
                        ? QStringLiteral(" AS ") + QString::fromUtf8(source.columns[c].name)
                        : QString());
    }
    selects << QStringLiteral("SELECT ") + items.join(QStringLiteral(", ")) +
                   QStringLiteral(" FROM ") + table;
  }
  return u'(' + selects.join(QStringLiteral(" UNION ALL ")) + QStringLiteral(") AS ") +
         QString::fromUtf8(source.alias);
}

// PARAMETERS: a declared type, the type of its values in expressions, and values a user gives
// (some beyond the type: a Long too large, a text that is no number, a day that does not exist).
struct ParameterSpec {
  const char* type;
  Kind kind;
  std::span<const Constant> values;
};
constexpr Constant kLongValues[] = {{3, "12"}, {2, "-3"}, {2, "0"}, {1, "2147483648"}, {1, "1.5"}};
constexpr Constant kShortValues[] = {{3, "7"}, {1, "40000"}, {1, "-1"}};
constexpr Constant kDoubleValues[] = {{3, "2.5"}, {2, "-0.125"}, {1, "1E+20"}, {1, "0"}};
constexpr Constant kCurrencyValues[] = {
    {3, "12.3456"}, {2, "0.125"}, {2, "1234.5"}, {1, "-0.00005"}};
constexpr Constant kDateValues[] = {
    {3, "2024-01-05"}, {2, "1/2/1997"}, {1, "1997-01-02 10:30:00"}, {1, "2024-12-31"}};
constexpr Constant kTextValues[] = {{3, "abc"}, {1, ""}, {2, "It's"}, {2, "12"}, {1, "C0001"}};
constexpr Constant kYesNoValues[] = {{2, "True"}, {2, "False"}, {1, "-1"}, {1, "0"}};
constexpr ParameterSpec kParameters[] = {
    {"Long", Kind::Number, kLongValues},     {"Short", Kind::Number, kShortValues},
    {"Double", Kind::Number, kDoubleValues}, {"Currency", Kind::Number, kCurrencyValues},
    {"DateTime", Kind::Date, kDateValues},   {"Text (255)", Kind::Text, kTextValues},
    {"YesNo", Kind::YesNo, kYesNoValues},
};

// The shapes of statements.
enum class Shape { Scalar, Rows, Grouped, Totals, Union };
struct ShapeSpec {
  int weight;
  Shape shape;
};
constexpr ShapeSpec kShapes[] = {{28, Shape::Scalar},
                                 {30, Shape::Rows},
                                 {16, Shape::Grouped},
                                 {6, Shape::Totals},
                                 {10, Shape::Union}};

std::span<const Production> ProductionsOf(Kind kind) {
  switch (kind) {
    case Kind::Number:
      return kNumber;
    case Kind::Text:
      return kText;
    case Kind::Date:
      return kDate;
    case Kind::YesNo:
      return kYesNo;
  }
  return {};
}

std::span<const Production> AggregatesOf(Kind kind) {
  switch (kind) {
    case Kind::Number:
      return kNumberAggregates;
    case Kind::Text:
      return kTextAggregates;
    case Kind::Date:
      return kDateAggregates;
    case Kind::YesNo:
      return {};
  }
  return {};
}

std::span<const Constant> LiteralsOf(Kind kind) {
  switch (kind) {
    case Kind::Number:
      return kNumbers;
    case Kind::Text:
      return kTexts;
    case Kind::Date:
      return kDates;
    case Kind::YesNo:
      return kYesNos;
  }
  return {};
}

Kind KindOfLetter(char letter) {
  switch (letter) {
    case 'T':
    case 'S':
      return Kind::Text;
    case 'D':
    case 'E':
      return Kind::Date;
    case 'B':
      return Kind::YesNo;
    default:
      return Kind::Number;
  }
}

Piece Atom(QString text, Kind kind, bool fixed = false) {
  return Piece{std::move(text), {}, kind, fixed};
}

// The plainest literal of a type: what an expression is replaced by when a statement is cut down.
QString PlainLiteral(Kind kind) {
  switch (kind) {
    case Kind::Number:
      return QStringLiteral("1");
    case Kind::Text:
      return QStringLiteral("'a'");
    case Kind::Date:
      return QStringLiteral("#2000-01-01#");
    case Kind::YesNo:
      return QStringLiteral("True");
  }
  return {};
}

// A literal: what ORDER BY and GROUP BY never sort on (a number there would be read as a column's
// position by the engines underneath).
bool IsLiteral(const Piece& piece) {
  return piece.parts.empty() && !piece.form.startsWith(u'[') && !piece.form.endsWith(u')');
}

// Every variant of `piece` one step simpler: the piece replaced by one of its parts of its own
// type or by the plainest literal of it, or one part replaced so.
void Simpler(const Piece& piece, std::vector<Piece>& out) {
  for (const Piece& part : piece.parts)
    if (!part.fixed && part.kind == piece.kind) out.push_back(part);
  if (!piece.fixed && piece.form != PlainLiteral(piece.kind))
    out.push_back(Atom(PlainLiteral(piece.kind), piece.kind));
  for (size_t i = 0; i < piece.parts.size(); ++i) {
    if (piece.parts[i].fixed) continue;
    std::vector<Piece> inner;
    Simpler(piece.parts[i], inner);
    for (Piece& variant : inner) {
      Piece copy = piece;
      copy.parts[i] = std::move(variant);
      out.push_back(std::move(copy));
    }
  }
}

// One select; `orderBy` what the statement's ORDER BY reads of it.
QString SelectSql(const GeneratedSelect& s, const QString& orderBy) {
  QStringList columns;
  for (size_t i = 0; i < s.columns.size(); ++i)
    columns << s.columns[i].Text() + QStringLiteral(" AS [c%1]").arg(i + 1);
  QString clauses;
  if (s.where) clauses += QStringLiteral(" WHERE ") + s.where->Text();
  if (!s.groupBy.empty()) {
    QStringList keys;
    for (const Piece& key : s.groupBy)
      keys << key.Text();
    clauses += QStringLiteral(" GROUP BY ") + keys.join(QStringLiteral(", "));
  }
  if (s.having) clauses += QStringLiteral(" HAVING ") + s.having->Text();
  QString sql = QStringLiteral("SELECT ");
  if (s.distinct) sql += QStringLiteral("DISTINCT ");
  if (!s.top.isEmpty()) sql += QStringLiteral("TOP ") + s.top + u' ';
  sql += columns.join(QStringLiteral(", "));
  if (s.source >= 0) {
    sql += QStringLiteral(" FROM ") +
           SourceText(kSources[s.source], s.rows, sql + clauses + QStringLiteral(" ") + orderBy);
  }
  return sql + clauses;
}

}  // namespace

QString Piece::Text() const {
  if (parts.empty()) return form;
  QString text;
  for (qsizetype i = 0; i < form.size(); ++i) {
    if (form[i] == u'$' && i + 1 < form.size() && form[i + 1].isDigit()) {
      const int part = form[i + 1].digitValue() - 1;
      if (part >= 0 && part < static_cast<int>(parts.size())) {
        text += parts[part].Text();
        ++i;
        continue;
      }
    }
    text += form[i];
  }
  return text;
}

QString GeneratedStatement::Sql() const {
  QString sql;
  if (!parameters.empty()) {
    QStringList declared;
    for (const Parameter& p : parameters)
      declared << u'[' + p.name + QStringLiteral("] ") + p.type;
    sql =
        QStringLiteral("PARAMETERS ") + declared.join(QStringLiteral(", ")) + QStringLiteral("; ");
  }
  // A union sorts by the names of its output columns; a single select by its expressions, as
  // Access's designer writes it.
  QString order;
  if (!orderBy.empty()) {
    QStringList keys;
    for (const OrderKey& key : orderBy) {
      keys << (selects.size() > 1 ? QStringLiteral("[c%1]").arg(key.column + 1)
                                  : selects[0].columns[key.column].Text()) +
                  (key.descending ? QStringLiteral(" DESC") : QString());
    }
    order = QStringLiteral(" ORDER BY ") + keys.join(QStringLiteral(", "));
  }
  QStringList members;
  for (const GeneratedSelect& s : selects)
    members << SelectSql(s, order);
  return sql + members.join(unionAll ? QStringLiteral(" UNION ALL ") : QStringLiteral(" UNION ")) +
         order;
}

std::vector<int> GeneratedStatement::OrderColumns() const {
  std::vector<int> columns;
  for (const OrderKey& key : orderBy)
    columns.push_back(key.column);
  return columns;
}

std::vector<GeneratedStatement> GeneratedStatement::Smaller() const {
  std::vector<GeneratedStatement> out;
  const auto with = [&](auto change) {
    GeneratedStatement copy = *this;
    change(copy);
    out.push_back(std::move(copy));
  };
  if (selects.size() > 1) {
    for (size_t i = 0; i < selects.size(); ++i)
      with([&](GeneratedStatement& s) { s.selects.erase(s.selects.begin() + i); });
  }
  const size_t columns = selects[0].columns.size();
  for (size_t c = 0; columns > 1 && c < columns; ++c) {
    with([&](GeneratedStatement& s) {
      for (GeneratedSelect& select : s.selects)
        select.columns.erase(select.columns.begin() + c);
      std::vector<OrderKey> keys;
      for (OrderKey key : s.orderBy) {
        if (key.column == static_cast<int>(c)) continue;
        if (key.column > static_cast<int>(c)) --key.column;
        keys.push_back(key);
      }
      s.orderBy = keys;
    });
  }
  for (size_t i = 0; i < selects.size(); ++i) {
    const GeneratedSelect& select = selects[i];
    if (select.where) with([&](GeneratedStatement& s) { s.selects[i].where.reset(); });
    if (select.having) with([&](GeneratedStatement& s) { s.selects[i].having.reset(); });
    if (!select.top.isEmpty()) with([&](GeneratedStatement& s) { s.selects[i].top.clear(); });
    if (select.distinct) with([&](GeneratedStatement& s) { s.selects[i].distinct = false; });
    if (select.source >= 0) with([&](GeneratedStatement& s) { s.selects[i].source = -1; });
    // Literal rows: either half, then (when few are left) each one.
    const auto keep = [&](size_t from, size_t to) {
      with([&](GeneratedStatement& s) {
        std::vector<int>& rows = s.selects[i].rows;
        rows = std::vector<int>(rows.begin() + from, rows.begin() + to);
      });
    };
    const size_t rows = select.rows.size();
    if (rows > 1) {
      keep(0, rows / 2);
      keep(rows / 2, rows);
    }
    for (size_t r = 0; rows > 1 && rows <= 12 && r < rows; ++r)
      with([&](GeneratedStatement& s) { s.selects[i].rows.erase(s.selects[i].rows.begin() + r); });
    for (size_t k = 0; k < select.groupBy.size(); ++k) {
      with([&](GeneratedStatement& s) {
        s.selects[i].groupBy.erase(s.selects[i].groupBy.begin() + k);
      });
    }
  }
  if (!orderBy.empty()) with([](GeneratedStatement& s) { s.orderBy.clear(); });
  for (size_t k = 0; orderBy.size() > 1 && k < orderBy.size(); ++k)
    with([&](GeneratedStatement& s) { s.orderBy.erase(s.orderBy.begin() + k); });
  for (size_t p = 0; p < parameters.size(); ++p)
    with([&](GeneratedStatement& s) { s.parameters.erase(s.parameters.begin() + p); });
  // Expressions last: every place one may stand, each variant one step simpler.
  for (size_t i = 0; i < selects.size(); ++i) {
    const auto simplify = [&](auto place) {
      GeneratedSelect select = selects[i];
      std::vector<Piece> variants;
      Simpler(place(select), variants);
      for (Piece& variant : variants)
        with([&](GeneratedStatement& s) { place(s.selects[i]) = variant; });
    };
    for (size_t c = 0; c < selects[i].columns.size(); ++c)
      simplify([c](GeneratedSelect& s) -> Piece& { return s.columns[c]; });
    if (selects[i].where) simplify([](GeneratedSelect& s) -> Piece& { return *s.where; });
    if (selects[i].having) simplify([](GeneratedSelect& s) -> Piece& { return *s.having; });
  }
  return out;
}

// What the expressions of a select may name: its source's columns, the statement's parameters,
// and in a grouped select the expressions it groups by.
struct AccessGrammar::Scope {
  std::vector<Column> columns;
  std::vector<Column> parameters;
  std::vector<Piece> groupKeys;
};

AccessGrammar::AccessGrammar(std::uint64_t seed) : state_(seed) {}

// splitmix64: the same numbers from a seed on every platform and library.
std::uint64_t AccessGrammar::Random() {
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

int AccessGrammar::Below(int n) {
  return n <= 1 ? 0 : static_cast<int>(Random() % static_cast<std::uint64_t>(n));
}

bool AccessGrammar::Chance(int percent) {
  return Below(100) < percent;
}

namespace {

template <typename T>
const T& Pick(std::span<const T> items, int roll) {
  for (const T& item : items) {
    if (roll < item.weight) return item;
    roll -= item.weight;
  }
  return items.back();
}

template <typename T>
int TotalWeight(std::span<const T> items) {
  int total = 0;
  for (const T& item : items)
    total += item.weight;
  return total;
}

}  // namespace

Kind AccessGrammar::AnyKind() {
  static constexpr Kind kinds[] = {Kind::Number, Kind::Number, Kind::Number, Kind::Text,
                                   Kind::Text,   Kind::Text,   Kind::Date,   Kind::YesNo};
  return kinds[Below(static_cast<int>(std::size(kinds)))];
}

Piece AccessGrammar::Slot(char slot, const Scope& scope, Level level, int depth) {
  for (const ConstantTable& table : kConstants) {
    if (table.letter == slot) {
      const Constant& c = Pick(table.values, Below(TotalWeight(table.values)));
      return Atom(QString::fromUtf8(c.text), table.kind, true);
    }
  }
  switch (slot) {
    case 'A':
      return Expression(AnyKind(), scope, level, depth);
    case 'R':
    case 'S':
    case 'E':
      return Expression(KindOfLetter(slot), scope, Level::Row, depth);
    case 'X':
      return Expression(AnyKind(), scope, Level::Row, depth);
    default:
      return Expression(KindOfLetter(slot), scope, level, depth);
  }
}

Piece AccessGrammar::Leaf(Kind kind, const Scope& scope, Level level) {
  std::vector<const Column*> columns, parameters;
  for (const Column& c : scope.columns)
    if (c.kind == kind) columns.push_back(&c);
  for (const Column& p : scope.parameters)
    if (p.kind == kind) parameters.push_back(&p);
  std::vector<const Piece*> keys;
  for (const Piece& key : scope.groupKeys)
    if (key.kind == kind) keys.push_back(&key);
  const std::span<const Constant> literals = LiteralsOf(kind);
  const std::span<const Production> aggregates = AggregatesOf(kind);
  const bool grouped = level == Level::Group;
  enum Choice { Literal, Column, Aggregate, GroupKey, Parameter, Null, Today };
  const int weights[] = {
      grouped ? 2 : 4,
      !grouped && !columns.empty() ? 7 : 0,
      grouped && !aggregates.empty() ? 6 : 0,
      grouped && !keys.empty() ? 4 : 0,
      parameters.empty() ? 0 : 3,
      1,
      kind == Kind::Date ? 1 : 0,
  };
  int roll = Below(std::accumulate(std::begin(weights), std::end(weights), 0));
  int choice = Literal;
  while (choice < Today && roll >= weights[choice])
    roll -= weights[choice++];
  const auto any = [this](const auto& list) { return list[Below(static_cast<int>(list.size()))]; };
  switch (choice) {
    case Literal:
      return Atom(QString::fromUtf8(Pick(literals, Below(TotalWeight(literals))).text), kind);
    case Column:
      return Atom(any(columns)->name, kind);
    case Aggregate: {
      const Production& p = Pick(aggregates, Below(TotalWeight(aggregates)));
      Piece piece{QString::fromUtf8(p.form), {}, kind, false};
      for (const char* s = p.fills; *s; ++s)
        piece.parts.push_back(Slot(*s, scope, Level::Row, 2));
      return piece;
    }
    case GroupKey:
      return *any(keys);
    case Parameter:
      return Atom(u'[' + any(parameters)->name + u']', kind);
    case Null:
      return Atom(QStringLiteral("Null"), kind);
    default:
      return Atom(Chance(50) ? QStringLiteral("Date()") : QStringLiteral("DateValue(Now())"), kind);
  }
}

Piece AccessGrammar::Expression(Kind kind, const Scope& scope, Level level, int depth) {
  constexpr int kMaxDepth = 4;
  // A condition is seldom a bare True or False: Yes/No goes two levels down before it may stop.
  const bool mayStop = kind != Kind::YesNo || depth >= 2;
  if (depth >= kMaxDepth || (mayStop && Below(100) < 30 + 15 * depth))
    return Leaf(kind, scope, level);
  const std::span<const Production> productions = ProductionsOf(kind);
  const Production* p = &Pick(productions, Below(TotalWeight(productions)));
  // A grouped select's subquery would read the group's aggregates from inside: not what Access
  // queries do.
  while (level == Level::Group && std::strstr(p->form, "(SELECT"))
    p = &Pick(productions, Below(TotalWeight(productions)));
  Piece piece{QString::fromUtf8(p->form), {}, kind, false};
  for (const char* s = p->fills; *s; ++s)
    piece.parts.push_back(Slot(*s, scope, level, depth + 1));
  return piece;
}

GeneratedSelect AccessGrammar::Scalar(std::vector<Kind> kinds, Scope& scope) {
  GeneratedSelect select;
  for (Kind kind : kinds)
    select.columns.push_back(Expression(kind, scope, Level::Row, 0));
  return select;
}

int AccessGrammar::AnySource() {
  const std::span<const SourceSpec> sources(kSources);
  return static_cast<int>(&Pick(sources, Below(TotalWeight(sources))) - kSources);
}

GeneratedSelect AccessGrammar::From(int sourceIndex, Scope& scope) {
  const SourceSpec& source = kSources[sourceIndex];
  scope.columns.clear();
  for (const SourceColumn& c : source.columns)
    scope.columns.push_back({QString::fromUtf8(c.name), KindOfLetter(c.kind)});
  scope.groupKeys.clear();
  GeneratedSelect select;
  select.source = sourceIndex;
  for (size_t r = 0; r < source.rows.size(); ++r)
    select.rows.push_back(static_cast<int>(r));
  return select;
}

GeneratedSelect AccessGrammar::Rows(const std::vector<Kind>& kinds, Scope& scope, int sourceIndex) {
  GeneratedSelect select = From(sourceIndex, scope);
  for (Kind kind : kinds)
    select.columns.push_back(Expression(kind, scope, Level::Row, Chance(40) ? 3 : 1));
  if (Chance(60)) select.where = Expression(Kind::YesNo, scope, Level::Row, 1);
  return select;
}

GeneratedSelect AccessGrammar::Grouped(Scope& scope, bool withKeys) {
  GeneratedSelect select = From(AnySource(), scope);
  const int keys = withKeys ? 1 + Below(2) : 0;
  for (int k = 0; k < keys; ++k) {
    const Column& column = scope.columns[Below(static_cast<int>(scope.columns.size()))];
    Piece key =
        Chance(70) ? Atom(column.name, column.kind) : Expression(AnyKind(), scope, Level::Row, 2);
    if (IsLiteral(key)) key = Atom(column.name, column.kind);
    scope.groupKeys.push_back(key);
    select.groupBy.push_back(key);
    if (Chance(80)) select.columns.push_back(key);
  }
  const int values = 1 + Below(3);
  for (int v = 0; v < values; ++v) {
    const Kind kind = Chance(60) ? Kind::Number : AnyKind();
    select.columns.push_back(Expression(kind, scope, Level::Group, 2));
  }
  if (Chance(40)) select.where = Expression(Kind::YesNo, scope, Level::Row, 2);
  if (Chance(30)) select.having = Expression(Kind::YesNo, scope, Level::Group, 2);
  return select;
}

void AccessGrammar::Declare(GeneratedStatement& statement, Scope& scope) {
  const int count = 1 + Below(3);
  for (int i = 0; i < count; ++i) {
    const ParameterSpec& spec = kParameters[Below(static_cast<int>(std::size(kParameters)))];
    const Constant& value = Pick(spec.values, Below(TotalWeight(spec.values)));
    const QString name = QStringLiteral("參數%1").arg(i + 1);
    statement.parameters.push_back(
        {name, QString::fromUtf8(spec.type), QString::fromUtf8(value.text)});
    scope.parameters.push_back({name, spec.kind});
  }
}

void AccessGrammar::Sort(GeneratedStatement& statement) {
  std::vector<int> order;
  for (size_t c = 0; c < statement.selects[0].columns.size(); ++c) {
    bool literal = false;
    for (const GeneratedSelect& s : statement.selects)
      literal = literal || IsLiteral(s.columns[c]);
    if (!literal) order.push_back(static_cast<int>(c));
  }
  if (order.empty()) return;
  const int columns = static_cast<int>(order.size());
  for (int c = columns - 1; c > 0; --c)
    std::swap(order[c], order[Below(c + 1)]);
  const int keys = Chance(60) ? columns : 1 + Below(columns);
  for (int k = 0; k < keys; ++k)
    statement.orderBy.push_back({order[k], Chance(30)});
}

GeneratedStatement AccessGrammar::Next() {
  GeneratedStatement statement;
  Scope scope;
  if (Chance(12)) Declare(statement, scope);
  const auto kinds = [&] {
    std::vector<Kind> list(1 + Below(3));
    for (Kind& k : list)
      k = AnyKind();
    return list;
  };
  const std::span<const ShapeSpec> shapes(kShapes);
  switch (Pick(shapes, Below(TotalWeight(shapes))).shape) {
    case Shape::Scalar:
      statement.selects.push_back(Scalar(kinds(), scope));
      break;
    case Shape::Rows: {
      statement.selects.push_back(Rows(kinds(), scope, AnySource()));
      GeneratedSelect& select = statement.selects[0];
      select.distinct = Chance(15);
      if (Chance(50)) Sort(statement);
      if (!statement.orderBy.empty() && Chance(20)) {
        static const char* const tops[] = {"1", "5", "10", "3", "25 PERCENT"};
        select.top = QString::fromUtf8(tops[Below(static_cast<int>(std::size(tops)))]);
      }
      break;
    }
    case Shape::Grouped:
      statement.selects.push_back(Grouped(scope, true));
      if (Chance(50)) Sort(statement);
      break;
    case Shape::Totals:
      statement.selects.push_back(Grouped(scope, false));
      break;
    case Shape::Union: {
      const std::vector<Kind> list = kinds();
      statement.selects.push_back(Rows(list, scope, AnySource()));
      statement.selects.push_back(Rows(list, scope, AnySource()));
      statement.unionAll = Chance(50);
      if (Chance(60)) Sort(statement);
      break;
    }
  }
  return statement;
}

}  // namespace tarvel::test
