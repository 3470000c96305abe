#include "Dy58Unit.h"

#include "WindowSetup.h"

TDy58Form::TDy58Form(QWidget *parent) : ReceiptForm(ReceiptWidth::Mm58, parent) {
    setupUi(this);
    setupFixedWindow(this, 342, 442);
    placeReports({TabSheet1, TabSheet2, TabSheet3}, DBMemo1);
    // Errors while the window is created end the start-up: not caught here.
    FormCreate();
}
