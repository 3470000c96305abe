#include "SptjUnit.h"

#include "WindowSetup.h"

TSptjForm::TSptjForm(QWidget *parent) : QDialog(parent) {
    setupUi(this);
    setupFixedWindow(this, 264, 227);
}
