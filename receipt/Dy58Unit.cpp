#include "Dy58Unit.h"

#include "WindowSetup.h"

TDy58Form::TDy58Form(QWidget *parent) : QDialog(parent) {
    setupUi(this);
    setupFixedWindow(this, 342, 442);
}
