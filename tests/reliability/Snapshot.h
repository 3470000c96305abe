#pragma once

#include "TestEnv.h"

#include <QMap>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// What the fault tests look at in a data.mdb, read with a keyed connection of the
// test's own.
namespace Reliability {

// Every row of every table as text, per table sorted. Password hashes are salted,
// so a stored hash reads as "<hash>" and an empty password as "".
using Snapshot = QMap<QString, QStringList>;
Snapshot snapshot(const QString &file);

// Every row of a query, its columns joined by " | ".
QStringList rowsOf(const QString &file, const QString &query);

// "ok" when PRAGMA integrity_check finds nothing, else its findings.
QString integrity(const QString &file);

// Receipts whose recorded lines do not add up to the receipt's quantity, amount and
// discounted amount, and lines whose receipt is missing: empty when every receipt is
// recorded completely.
QStringList incompleteReceipts(const QString &file);

// Rows lost: rows kept by the operation that are not in `now`, and when `now` is
// neither `before` nor `after`, also the rows added by the operation missing in it.
int rowsLost(const Snapshot &before, const Snapshot &now, const Snapshot &after);

// Copies data.mdb (and its -wal and -shm when there) from one directory to another.
void copyDatabase(const QString &from, const QString &to);

struct DriverRun {
    bool crashed = false; // killed by a signal
    int exitCode = 0;
    QString errors; // what the driver wrote to stderr
};
// The environment the driver runs in: headless, its home in `dir`.
QProcessEnvironment driverEnvironment(const QString &dir);

// Runs the driver in `dir` with the arguments after DIR.
DriverRun runDriver(const QString &dir, const QStringList &arguments,
                    const QProcessEnvironment &extra = {}, int timeoutMs = 60000);

// One row of the table printed by scripts/reliability, on stdout.
void reportRow(const QString &fault, int tries, int survived, int rowsLost);

} // namespace Reliability
