#pragma once

#include "TestEnv.h"

#include <QStringList>
#include <functional>

class DataGrid;
class QWidget;
class TXstjForm;

// Every window created as at start-up, with receipts and lines written as fixtures.
class RecordsTest : public FormsTest {
protected:
    void TearDown() override;

    // One receipt row of xstj; a null number or cashier (nullptr) is stored as NULL.
    void receipt(const char *number, const char *time, double quantity, double amount,
                 double discounted, const char *cashier);
    // One line row of xsmx.
    void line(const char *number, const char *goods, double price, double quantity, double amount,
              double discounted, const char *customer = "", const char *phone = "");

    TXstjForm *statistics() const;
    DataGrid *grid() const;
    // Loads the list as the main window does before showing it: by time, oldest first.
    void loadByTime();
    // The texts a column of a grid shows, top to bottom.
    static QStringList shown(const DataGrid *grid, int column);
    // The receipt numbers the statistics grid shows.
    QStringList listed() const;

    // Runs `trigger`, which shows a modal window; `inside` runs while it is up and gets
    // it. The window is closed afterwards if `inside` left it open. Returns whether a
    // modal window came up.
    bool whileModal(const std::function<void()> &trigger,
                    const std::function<void(QWidget *)> &inside);
};

// Values that spell C++ texts as QStrings for comparisons.
QStringList texts(std::initializer_list<const char *> list);
