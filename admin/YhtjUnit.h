#pragma once

#include "ui_YhtjUnit.h"

#include <QDialog>

// 添加新用户
class TYhtjForm : public QDialog, public Ui::TYhtjForm {
    Q_OBJECT
public:
    explicit TYhtjForm(QWidget *parent = nullptr);
};
