#pragma once

#include "Database.h"
#include "ReceiptLayout.h"

#include <QDialog>
#include <array>

class QPlainTextEdit;

// What the two receipt report forms (58 mm and 76 mm) share: their connection and data
// sets, the three receipt variants, the value labels the print action writes, and the
// handlers. The windows themselves (TDy58Form, TDy76Form) add their page tabs.
class ReceiptForm : public QDialog {
    Q_OBJECT
public:
    ~ReceiptForm() override;

    Connection ADOConnection1;
    Query ADODataSet1{ADOConnection1}; // "select * from xsxx": the lines of every variant
    Query ADODataSet2{ADOConnection1}; // "select * from dynr": shop name and remarks

    // The variants: neither customer nor phone, customer, customer and phone.
    ReceiptReport QuickRep1;
    ReceiptReport QuickRep2;
    ReceiptReport QuickRep3;
    ReceiptReport &report(ReceiptVariant variant);
    // Makes the page of that variant the one the window shows.
    void showPage(ReceiptVariant variant);

    // Value labels (their texts are printed as written).
    // QuickRep1
    Report::Printable *QRLabel2 = nullptr;  // cashier
    Report::Printable *QRLabel4 = nullptr;  // receipt number
    Report::Printable *QRLabel6 = nullptr;  // time
    Report::Printable *QRLabel12 = nullptr; // total quantity
    Report::Printable *QRLabel13 = nullptr; // total amount
    Report::Printable *QRLabel15 = nullptr; // amount due
    Report::Printable *QRLabel17 = nullptr; // amount paid
    Report::Printable *QRLabel19 = nullptr; // change
    Report::Printable *QRRichText1 = nullptr;
    // QuickRep2
    Report::Printable *QRLabel25 = nullptr; // cashier
    Report::Printable *QRLabel27 = nullptr; // receipt number
    Report::Printable *QRLabel29 = nullptr; // time
    Report::Printable *QRLabel31 = nullptr; // customer
    Report::Printable *QRLabel37 = nullptr; // total quantity
    Report::Printable *QRLabel38 = nullptr; // total amount
    Report::Printable *QRLabel40 = nullptr; // amount due
    Report::Printable *QRLabel42 = nullptr; // amount paid
    Report::Printable *QRLabel44 = nullptr; // change
    Report::Printable *QRRichText2 = nullptr;
    // QuickRep3
    Report::Printable *QRLabel50 = nullptr; // cashier
    Report::Printable *QRLabel52 = nullptr; // receipt number
    Report::Printable *QRLabel54 = nullptr; // time
    Report::Printable *QRLabel56 = nullptr; // customer
    Report::Printable *QRLabel58 = nullptr; // phone
    Report::Printable *QRLabel64 = nullptr; // total quantity
    Report::Printable *QRLabel65 = nullptr; // total amount
    Report::Printable *QRLabel67 = nullptr; // amount due
    Report::Printable *QRLabel69 = nullptr; // amount paid
    Report::Printable *QRLabel71 = nullptr; // change
    Report::Printable *QRRichText3 = nullptr;

    // Creation, and the reconnect before every print: the connection closed and opened
    // again on data.mdb, both data sets opened anew.
    void FormCreate();

    // Before the summary band of QuickRep1, QuickRep2, QuickRep3 prints: the remarks
    // block receives the lines of DBMemo1.
    void QRBand3BeforePrint();
    void QRBand5BeforePrint();
    void QRBand8BeforePrint();

    // Printing of the 单价, 数量 and 金额 fields of every variant: "0.00".
    void QRDBText3Print(QString &value);
    void QRDBText4Print(QString &value);
    void QRDBText5Print(QString &value);

protected:
    ReceiptForm(ReceiptWidth width, QWidget *parent);
    // After the form's setupUi: the report of each variant on its page, and the memo
    // bound to the remark text.
    void placeReports(const std::array<QWidget *, 3> &pages, QPlainTextEdit *memo);

private:
    void fillRemarks(ReceiptReport &report);

    ReceiptWidth width_;
    QPlainTextEdit *memo_ = nullptr;
    std::array<QWidget *, 3> pages_{};
};
