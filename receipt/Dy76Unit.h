#pragma once

#include "ReceiptForm.h"
#include "ui_Dy76Unit.h"

// 打印预览: the 76 mm receipt report form. Its three pages (tabs hidden under Panel1)
// show the variants QuickRep1, QuickRep2 and QuickRep3; the program picks the page.
class TDy76Form : public ReceiptForm, public Ui::TDy76Form {
    Q_OBJECT
public:
    explicit TDy76Form(QWidget *parent = nullptr);
};
