// The DSN file and the connection string, from any file content and any data-source text.
//
// Invariants: composing a connection string for any data source and parsing it gives back that
// data source, the provider and the password; the folder read from any DSN file makes a
// connection string that names exactly that folder's KORV.mdb; parsing any text throws nothing.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>
#include <string_view>

#include "FuzzCheck.h"
#include "db/Connection.h"
#include "platform/SystemServices.h"
#include "startup/DatabaseLocation.h"

namespace {

using tarvel::fuzz::Check;

// A machine whose program folder is a scratch folder and which has no user profile.
class ScratchMachine final : public tarvel::SystemServices {
 public:
  ScratchMachine() : program_(dir_.filePath(QStringLiteral("prog"))) { QDir().mkpath(program_); }
  QString ComputerName() const override { return QStringLiteral("HOST"); }
  QString UserName() const override { return QStringLiteral("user"); }
  QString ProgramFolder() const override { return program_; }
  QString EnvironmentVariable(const QString&) const override { return {}; }
  QString DocumentsFolder() const override { return dir_.path() + u'/'; }
  bool IsLauncherAlive(double) const override { return false; }
  std::unique_ptr<tarvel::InstanceLock> LockSingleInstance(const QString&) const override {
    return nullptr;
  }
  QString DsnPath() const { return program_ + QStringLiteral("/KORV.DSN"); }

 private:
  QTemporaryDir dir_;
  QString program_;
};

ScratchMachine& Machine() {
  static ScratchMachine machine;
  static tarvel::ScopedSystemServices installed(machine);
  return machine;
}

void CheckRoundTrip(const QString& dataSource) {
  const QString text = tarvel::ComposeConnectionString(dataSource);
  const auto keys = tarvel::db::ConnectionString::Parse(text);
  Check(keys.dataSource == dataSource, "the data source reads back", dataSource, keys.dataSource);
  Check(keys.provider == QLatin1String("Microsoft.Jet.OLEDB.4.0"), "the provider reads back", text,
        keys.provider);
  Check(keys.password == QLatin1String(tarvel::kDatabasePassword), "the password reads back", text,
        keys.password);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;
  // The DSN file's bytes up to the first NUL, the data-source text after it.
  const auto* bytes = reinterpret_cast<const char*>(data);
  const std::string_view whole(bytes, size);
  const std::string_view dsn = whole.substr(0, whole.find('\0'));
  const QString text = QString::fromUtf8(whole.substr(std::min(dsn.size() + 1, size)));

  (void)tarvel::db::ConnectionString::Parse(text);
  CheckRoundTrip(text);

  ScratchMachine& machine = Machine();
  {
    QFile file(machine.DsnPath());
    Check(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "the DSN file is written");
    file.write(dsn.data(), static_cast<qint64>(dsn.size()));
  }
  tarvel::AppContext context;
  tarvel::LocateDatabase(context);
  tarvel::BuildConnectionString(context);
  const auto keys = tarvel::db::ConnectionString::Parse(context.ConnectionString);
  Check(keys.dataSource == context.DatabaseFolder + QStringLiteral("KORV.mdb"),
        "the connection string names the folder of the DSN file", context.DatabaseFolder,
        keys.dataSource);
  return 0;
}
