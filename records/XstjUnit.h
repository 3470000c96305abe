#pragma once

#include "ui_XstjUnit.h"

#include <QDialog>

// 销售统计
class TXstjForm : public QDialog, public Ui::TXstjForm {
    Q_OBJECT
public:
    explicit TXstjForm(QWidget *parent = nullptr);
};
