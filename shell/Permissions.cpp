#include "Permissions.h"

#include "Forms.h"
#include "MainUnit.h"
#include "XstjUnit.h"
#include "XtUnit.h"

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>

void setEditable(QWidget *box, bool editable) {
    if (auto *edit = qobject_cast<QLineEdit *>(box))
        edit->setReadOnly(!editable);
    else if (auto *memo = qobject_cast<QPlainTextEdit *>(box))
        memo->setReadOnly(!editable);
    QPalette p = box->palette();
    const QPalette standard = box->style()->standardPalette();
    p.setColor(QPalette::Base, standard.color(editable ? QPalette::Base : QPalette::Button));
    box->setPalette(p);
}

void applyPermission(const QString &permission) {
    const Forms &f = forms();
    const auto apply = [&](bool admin) {
        setEditable(f.main->Edit1, admin);
        setEditable(f.main->Edit5, false);
        setEditable(f.main->Memo1, false);
        setEditable(f.xt->Edit1, admin);
        setEditable(f.xt->Memo1, admin);
        f.xt->SpeedButton1->setEnabled(admin);
        f.xt->SpeedButton3->setEnabled(admin);
        f.xstj->SpeedButton4->setEnabled(admin);
        f.xstj->N6->setEnabled(admin);
    };
    if (permission == QString::fromUtf8(kAdministrator))
        apply(true);
    if (permission == QString::fromUtf8(kOrdinaryUser))
        apply(false);
}
