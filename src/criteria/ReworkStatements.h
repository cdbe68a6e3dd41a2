// The statements of the rework window's four reports, composed from its criteria. Pure text
// functions: the window's existence check, the layouts and the export all compose them here.
//
// Every criteria text goes through db::SqlEscape, so a keyword with an apostrophe finds what it
// names instead of breaking the statement; texts without one come out as the suite writes them.
// These statements have no own-customer restriction and no group scope.
#pragma once

#include <QString>

#include "criteria/ReworkCriteria.h"

namespace tarvel {

/// Who runs the statement: a layout prints its rows, the window's check only counts them (the
/// check of 打樣明細表 has no ORDER BY; every other check is the layout's statement).
enum class ReworkQuery { Layout, Check };

/// The statement of report `choice` (ReworkChoice). Throws tarvel::Error for another number.
QString ReworkStatement(int choice, const ReworkCriteria& criteria,
                        ReworkQuery purpose = ReworkQuery::Layout);

/// The kind piece of KindFilter 1, 2, 3 (" and (種類 = '印刷') " …); "" for every other value.
QString ReworkKindPiece(std::int16_t kindFilter);

}  // namespace tarvel
