#pragma once

#include "ui_XsmxUnit.h"

#include "Database.h"

#include <QDialog>

// 销售明细: the lines of one receipt with their sums.
class TXsmxForm : public QDialog, public Ui::TXsmxForm {
    Q_OBJECT
public:
    explicit TXsmxForm(QWidget *parent = nullptr);

    Connection ADOConnection1;
    Query ADOQuery1{ADOConnection1}; // xsmx: the lines shown

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    void FormShow();
};
