#pragma once

#include "ReceiptForm.h"
#include "ui_Dy58Unit.h"

// 打印预览: the 58 mm receipt report form. Its three pages (tabs hidden under Panel1)
// show the variants QuickRep1, QuickRep2 and QuickRep3; the program picks the page.
class TDy58Form : public ReceiptForm, public Ui::TDy58Form {
    Q_OBJECT
public:
    explicit TDy58Form(QWidget *parent = nullptr);
};
