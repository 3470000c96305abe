#pragma once

#include "ui_XsmxUnit.h"

#include <QDialog>

// 销售明细
class TXsmxForm : public QDialog, public Ui::TXsmxForm {
    Q_OBJECT
public:
    explicit TXsmxForm(QWidget *parent = nullptr);
};
