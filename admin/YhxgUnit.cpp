#include "YhxgUnit.h"

#include "WindowSetup.h"

TYhxgForm::TYhxgForm(QWidget *parent) : QDialog(parent) {
    setupUi(this);
    setupFixedWindow(this, 262, 274);
}
