#pragma once

#include "Messages.h"

#include <QString>
#include <QTemporaryDir>
#include <deque>
#include <gtest/gtest.h>
#include <ostream>
#include <vector>

// Every test runs in a temporary directory of its own, holding a fresh data.mdb,
// with the message boxes answered and recorded instead of shown.
class StoreTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The directory of the test (the data directory).
    QString dir() const { return tmp_.path(); }
    QString path(const QString &name) const { return tmp_.filePath(name); }

    // Recorded boxes, oldest first; answers are taken from the front of `answers`
    // (OK when empty).
    std::vector<Messages::Box> boxes;
    std::deque<bool> answers;
    // Texts of the recorded boxes, and forgetting them.
    QStringList boxTexts() const;
    void clearBoxes() { boxes.clear(); }

    // Runs an SQL statement on data.mdb with its own keyed connection (fixtures).
    void sql(const QString &statement);
    // One column (the first by default) of every row of a query, as text.
    QStringList column(const QString &query, int index = 0);

    // The same on the program's own database handle: the only way to see the current
    // sale (xsxx), which each running program keeps in its own memory.
    void tillSql(const QString &statement);
    QStringList tillColumn(const QString &query, int index = 0);

    bool createDatabaseFile = true;

private:
    QTemporaryDir tmp_;
    QString previousDir_;
};

// StoreTest plus every window of the program created as at start-up.
class FormsTest : public StoreTest {
protected:
    void SetUp() override;
    void TearDown() override;
};

// Readable QString values in test failures.
inline void PrintTo(const QString &s, std::ostream *os) {
    *os << '"' << s.toStdString() << '"';
}
