// The test run's demo database: one file, generated once per run (the CTest fixture
// demo_database writes it and TARVEL_TEST_DEMO names it), read by every test that needs real rows.
// A test program started by hand, without that variable, generates the same file on first use.
// Tests that write copy it first (CopyDemoDatabase).
#pragma once

#include <QDate>
#include <QString>
#include <memory>

#include "criteria/WorkOrderCriteria.h"
#include "db/Connection.h"

namespace tarvel::test {

/// How the run's demo database is made; CMake passes the same values to the fixture.
inline constexpr int kDemoOrders = 3000;
inline constexpr int kDemoSeed = 7;
inline QDate DemoToday() {
  return QDate(2026, 12, 4);
}

/// The path of the run's demo database.
QString DemoDatabasePath();
/// The work orders of the run's large demo (the fixture large_demo_database): exports long
/// enough to be interrupted, sheets fuller than an .xls sheet holds.
inline constexpr int kLargeDemoOrders = 56000;
/// The path of the run's large demo database, made now when the run has none (a test program
/// started by hand).
QString LargeDemoDatabasePath();
/// The program's connection string for it.
QString DemoConnectionString();
/// A new connection to it.
std::unique_ptr<db::Connection> OpenDemo();
/// A private copy in `folder` (KORV.mdb), for a test that writes; returns its path.
QString CopyDemoDatabase(const QString& folder);

/// The main window as its first activation leaves it over the demo's salespeople and customers,
/// with both pairs of date boxes (the overviews' and 表5's) set to `from`..`to` (ROC digits).
OverviewFormState DemoForm(const QString& from, const QString& to);

/// The first column of the first row of `sql` as a number (0 without rows).
double Scalar(db::Connection& connection, const QString& sql);

}  // namespace tarvel::test
