#pragma once

#include "ui_XscxUnit.h"

#include "Database.h"

#include <QDialog>

class ColumnModel;

// 销售查询: narrows the sales statistics list by receipt number or by cashier.
class TXscxForm : public QDialog, public Ui::TXscxForm {
    Q_OBJECT
public:
    explicit TXscxForm(QWidget *parent = nullptr);
    ~TXscxForm() override;

    Connection ADOConnection1;
    Query ADOQuery1{ADOConnection1}; // the receipt numbers of ComboBox1
    Query ADOQuery2{ADOConnection1}; // the user names of ComboBox2

    // Empties ComboBox1 and offers the distinct receipt numbers of xstj in it.
    void fillReceiptNumbers();

private slots:
    void SpeedButton1Click();
    void SpeedButton2Click();

private:
    ColumnModel *numbers_;
};
