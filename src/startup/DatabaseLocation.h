// Where the database is (the DSN file beside the program), the marker file and the connection
// string.
//
// The folder texts keep the form the suite writes them in: the program folder the platform reports
// joined with "\" and "\KORV.DSN", an upper-cased DSN path such as "\\SRV\ERP\". They are
// turned into local paths only where a file is touched (platform/Paths.h: backslashes become
// slashes and every component is matched without regard to case); db::Connection does the same
// with the data source of the connection string.
#pragma once

#include <QString>

#include "startup/AppContext.h"

namespace tarvel {

/// The database file's fixed password, part of the connection string.
inline constexpr char kDatabasePassword[] = "tqlv5218tqlv5218";

/// The signed-in user's login name; empty when it cannot be obtained.
QString GetWindowsUserName();

/// The computer's name (the host name, see SystemServices); empty when it cannot be obtained.
QString GetComputerNameText();

/// Fills MachineUserName, TempFolder, Site and DatabaseFolder from the DSN file KORV.DSN in the
/// program folder. Never fails and shows nothing: an unreadable or malformed file leaves the
/// database in the program folder. A DBQ= whose value is a PostgreSQL URI (db::IsServerUri:
/// "DBQ=postgresql://tarvel@dbhost/korv") is taken as written, to the end of its line, without
/// upper-casing it; with SITE=C it becomes DatabaseFolder as it is, with any other SITE the
/// program folder is used, as for a file.
void LocateDatabase(AppContext& context);

/// Creates (or empties) TempFolder + "KORV.TXT". A symbolic or hard link, a pipe or another
/// user's file at that name is never written through: it is replaced by an empty file of the
/// user's (OpenOwnFile), and what it led to keeps its bytes. A failure is shown ("建立暫存檔錯誤",
/// style 16) and start-up goes on.
void CreateMarkerFile(const AppContext& context);

/// The connection string for the database file `dataSource` (a path in the suite's form),
/// "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=…;Jet OLEDB:Database Password=…" with
/// kDatabasePassword. A value holding ";", a double or a single quote, or blanks at either end is
/// written in double quotes with each double quote doubled, as OLE DB reads it, so
/// db::ConnectionString::Parse gives back exactly `dataSource` for every text; any other value is
/// written as it is.
QString ComposeConnectionString(const QString& dataSource);

/// `connectionString` as every output shows it: the value of each password key (the Jet file's
/// "Jet OLEDB:Database Password=", "Password=") and the password of a server's URI (db::RedactUri)
/// as "***".
QString ConnectionStringForDisplay(const QString& connectionString);

/// Sets DatabasePassword and ConnectionString (ComposeConnectionString of DatabaseFolder +
/// "KORV.mdb", or of DatabaseFolder alone when it is a PostgreSQL URI).
void BuildConnectionString(AppContext& context);

/// The local path of a folder or file text in the suite's form: the existing entry it names when
/// there is one (matched without regard to case), else the text with backslashes as slashes.
QString LocalPath(const QString& suitePath);

}  // namespace tarvel
