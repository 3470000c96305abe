#pragma once

#include "ui_SptjUnit.h"

#include <QDialog>

// 添加新商品
class TSptjForm : public QDialog, public Ui::TSptjForm {
    Q_OBJECT
public:
    explicit TSptjForm(QWidget *parent = nullptr);
};
