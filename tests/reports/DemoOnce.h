// One demo database per test program, generated on first use and removed at exit, shared by the
// layout tests that check their totals against SQL.
#pragma once

#include <QDate>
#include <memory>

#include "demo/DemoDatabase.h"
#include "support/TempDir.h"

namespace tarvel::test {

/// The connection string of an 800-order demo database as of 2026-12-04.
inline QString DemoConnectionString() {
  static const std::unique_ptr<TempDir> dir = [] {
    auto folder = std::make_unique<TempDir>();
    demo::DemoOptions options;
    options.orders = 800;
    options.today = QDate(2026, 12, 4);
    demo::GenerateDemoDatabase(folder->Path(), options);
    return folder;
  }();
  return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + dir->File("KORV.mdb");
}

}  // namespace tarvel::test
