#include "QxsmUnit.h"

#include "FormLook.h"
#include "Handlers.h"
#include "WindowSetup.h"

TQxsmForm::TQxsmForm(QWidget *parent) : QDialog(parent) {
    setupUi(this);
    setupFixedWindow(this, 324, 232);
    useSongFont(this);
    connectHandler(SpeedButton1, &QAbstractButton::clicked, this, &TQxsmForm::SpeedButton1Click);
}

void TQxsmForm::SpeedButton1Click() {
    accept();
}
