// Fills AppContext from the launch arguments and the suite's tables at start-up.
#pragma once

#include <QString>

#include "startup/AppContext.h"

namespace tarvel {

/// Opens one connection on ConnectionString, parses `commandLine` (ParseLaunchArguments) and
/// reads, in this order, [EMPLOYEE] (with the token only), [COMPANY], [COMPANY1], [COMPANY2],
/// [SYSTEM], [SYSTEM1], [使用者資料], [使用者資料明細], [SYSOS], [啟用發送EAMIL] and [SYSLOAD].
/// Of each table only the first row counts, and every column the suite's loader reads is read
/// even when no field keeps it, so that a database missing any of them fails at the same point.
/// Within a table the column a field keeps is read first, then the others in their listed order.
///
/// Any failure shows its description with the title "取得系統相關設定資料錯誤" (style 16) and
/// ends the loading: fields filled before keep their values, later ones keep theirs. A database
/// that cannot be opened because the DSN file did not say where it is is reported in the words of
/// DatabaseLocationProblem instead of the engine's. The
/// hourglass is shown throughout. Every value spliced into a statement is escaped, so a name with
/// an apostrophe selects exactly its own rows.
///
/// ExcelFolder receives [SYSLOAD] EXCEL as a local folder (see LocalFolderText); empty stays empty.
///
/// Returns false after such a failure (the message has been shown): the context is incomplete
/// and the caller must not go on as if the user's rights and groups were known.
bool LoadAppContext(AppContext& context, const QString& commandLine);

/// A folder text of the suite (such as "D:\報表\") as the local folder it names: the existing
/// folder when there is one (matched without regard to case), else the text with backslashes as
/// slashes; a trailing separator is kept as "/". Empty stays empty.
QString LocalFolderText(const QString& suiteFolder);

}  // namespace tarvel
