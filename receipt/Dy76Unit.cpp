#include "Dy76Unit.h"

#include "WindowSetup.h"

TDy76Form::TDy76Form(QWidget *parent) : QDialog(parent) {
    setupUi(this);
    setupFixedWindow(this, 342, 442);
}
