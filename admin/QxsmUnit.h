#pragma once

#include "ui_QxsmUnit.h"

#include <QDialog>

// 权限说明: what an ordinary user may not do.
class TQxsmForm : public QDialog, public Ui::TQxsmForm {
    Q_OBJECT
public:
    explicit TQxsmForm(QWidget *parent = nullptr);

private:
    void SpeedButton1Click();
};
