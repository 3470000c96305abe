#pragma once

#include "Database.h"
#include "ui_MainUnit.h"

#include <QWidget>
#include <array>
#include <optional>

class QLabel;
class QTimer;
class ReceiptForm;
enum class ReceiptVariant;

// The cashier's window: receipt number, clock, customer and phone, the entry line,
// the lines of the current sale, the totals and payment, printing and the way to the
// settings and the sales records. It is the application's main window.
class TMainForm : public QWidget, public Ui::TMainForm {
    Q_OBJECT
public:
    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    // Text of a status bar panel (0: web address, 1: permission, 2: hot keys).
    void setStatusPanel(int panel, const QString &text);
    QString statusPanel(int panel) const;

    Connection ADOConnection1;
    Query ADOQuery1{ADOConnection1}; // spxx
    Query ADOQuery2{ADOConnection1}; // xsxx
    Query ADOQuery3{ADOConnection1}; // dynr
    Query ADOQuery4{ADOConnection1}; // xstj
    Query ADOQuery5{ADOConnection1}; // xsmx
    Query ADOQuery6{ADOConnection1}; // id
    Query ADOQuery7{ADOConnection1}; // username
    QTimer *Timer1 = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    void FormCreate();
    void FormShow();
    void FormClose();
    void Timer1Timer();
    // The hot key F1: the help file from the data directory.
    void HelpKeyPressed();
    void CheckBox1Click();
    void CheckBox2Click();
    void CheckBox3Click();
    void ComboBox5Change();
    void ComboBox3Change();
    void SpeedButton1Click();
    void SpeedButton7Click();

    // Entry line
    void ComboBox1Click();
    void Edit3KeyUp();
    void Edit4KeyUp();
    void ComboBox2KeyUp();
    void ComboBox2Click();
    void SpeedButton9Click();

    // Current sale
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton4Click();
    void DBGridEh1CellClick();
    void ComboBox4KeyUp();
    void ComboBox4Change();

    // Printing
    void SpeedButton6Click();
    void SpeedButton5Click();

private:
    void lineRecompute();
    void setPaidText(const QString &text);
    void resetEntryLine(bool amountsToo);
    void mainReconnect();
    void settingsReconnect();
    bool goodsTableUpdate(); // true when the goods was new and appended
    void goodsListFill();
    void writeSaleLine();
    bool entryComplete() const;
    void warnEmptyFields();
    void totalsRefresh();
    // Printing: the variant the two switches choose (none for phone without customer),
    // one receipt form filled and printed, the sale recorded and cleared.
    std::optional<ReceiptVariant> chosenVariant() const;
    void printReceipt(ReceiptForm &form, int base, int basePhone);
    void recordSale();

    void setBoxColour(QWidget *box, bool windowColour);
    void writeSettings(std::initializer_list<std::pair<const char *, const char *>> values);

    std::array<QLabel *, 3> statusPanels_{};
    bool shown_ = false;
    // The goods table as it stood when the goods list was last filled from it.
    TableStamp goodsListStamp_;
};
