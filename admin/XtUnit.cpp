#include "XtUnit.h"

#include "AdminRules.h"
#include "Conventions.h"
#include "Fonts.h"
#include "FormLook.h"
#include "Forms.h"
#include "Handlers.h"
#include "ListFill.h"
#include "MainUnit.h"
#include "Messages.h"
#include "QxsmUnit.h"
#include "SptjUnit.h"
#include "SpxgUnit.h"
#include "WindowSetup.h"
#include "YhtjUnit.h"
#include "YhxgUnit.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

const QString kUsers = QStringLiteral("select * from username");
const QString kGoods = QStringLiteral("select * from spxx");
const QString kPrintContent = QStringLiteral("select * from dynr");

// The picture of the permission button: a person with a key, 80 × 80 pixels.
QPixmap personWithKey() {
    QPixmap pixmap(80, 80);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // The person: head and shoulders.
    p.setPen(QPen(QColor(40, 70, 130), 2));
    p.setBrush(QColor(90, 140, 210));
    QPainterPath body;
    body.moveTo(8, 74);
    body.cubicTo(8, 50, 20, 44, 32, 44);
    body.cubicTo(44, 44, 56, 50, 56, 74);
    body.closeSubpath();
    p.drawPath(body);
    p.setBrush(QColor(250, 215, 175));
    p.drawEllipse(QPointF(32, 28), 13, 14);
    // The key: a ring and a bit, in gold.
    p.setPen(QPen(QColor(150, 110, 10), 2));
    p.setBrush(QColor(240, 190, 40));
    p.drawEllipse(QPointF(62, 48), 9, 9);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(62, 48), 3, 3);
    p.setBrush(QColor(240, 190, 40));
    p.drawRect(QRectF(59, 56, 6, 20));
    p.drawRect(QRectF(65, 66, 6, 4));
    p.drawRect(QRectF(65, 72, 5, 4));
    return pixmap;
}

} // namespace

TXtForm::TXtForm(QWidget *parent) : QDialog(parent) {
    setupUi(this);
    setupFixedWindow(this, 454, 356);
    useSongFont(this);
    SpeedButton8->setIcon(QIcon(personWithKey()));
    Memo1->setFont(pixelFont(QStringLiteral("宋体"), 13));
    paintRed(Label1);
    paintRed(Label2);

    DBGridEh1->setColumns({{QStringLiteral("序号"), QString(), 50},
                           {QStringLiteral("用户名"), QStringLiteral("用户名"), 135},
                           {QStringLiteral("权限"), QStringLiteral("权限"), 130}});
    DBGridEh1->setNumberEmptyRows(true);
    DBGridEh2->setColumns(
        {{QStringLiteral("序号"), QString(), 50},
         {QStringLiteral("品名"), QStringLiteral("品名"), 175},
         {QStringLiteral("单价"), QStringLiteral("单价"), 90, GridColumn::Number}});
    DBGridEh2->setNumberEmptyRows(false);

    connectHandler(SpeedButton1, &QAbstractButton::clicked, this, &TXtForm::SpeedButton1Click);
    connectHandler(SpeedButton2, &QAbstractButton::clicked, this, &TXtForm::SpeedButton2Click);
    connectHandler(DBGridEh1, &DataGrid::gridDoubleClicked, this, &TXtForm::SpeedButton2Click);
    connectHandler(SpeedButton3, &QAbstractButton::clicked, this, &TXtForm::SpeedButton3Click);
    connectHandler(SpeedButton4, &QAbstractButton::clicked, this, &TXtForm::SpeedButton4Click);
    connectHandler(SpeedButton5, &QAbstractButton::clicked, this, &TXtForm::SpeedButton5Click);
    connectHandler(DBGridEh2, &DataGrid::gridDoubleClicked, this, &TXtForm::SpeedButton5Click);
    connectHandler(SpeedButton6, &QAbstractButton::clicked, this, &TXtForm::SpeedButton6Click);
    connectHandler(SpeedButton7, &QAbstractButton::clicked, this, &TXtForm::SpeedButton7Click);
    connectHandler(SpeedButton8, &QAbstractButton::clicked, this, &TXtForm::SpeedButton8Click);

    // Errors while the window is created end the start-up: not caught here.
    FormCreate();
}

void TXtForm::FormCreate() {
    ADOConnection1.open();
    ADOQuery1.setSql(kUsers);
    ADOQuery2.setSql(kGoods);
    ADOQuery3.setSql(kPrintContent);
    ADOQuery1.open();
    ADOQuery2.open();
    ADOQuery3.open();
    DBGridEh1->setQuery(&ADOQuery1);
    DBGridEh2->setQuery(&ADOQuery2);

    Edit1->setText(ADOQuery3.fieldText(QStringLiteral("店名")));
    Memo1->setPlainText(ADOQuery3.fieldText(QStringLiteral("备注")));
}

int TXtForm::execOnUsersTab() {
    PageControl1->setCurrentWidget(TabSheet1);
    return exec();
}

void TXtForm::reconnectData() {
    stale_ = false;
    reconnect(ADOConnection1,
              {{&ADOQuery1, kUsers}, {&ADOQuery2, kGoods}, {&ADOQuery3, kPrintContent}});
}

void TXtForm::reconnectWhenSeen() {
    if (isVisible())
        reconnectData();
    else
        stale_ = true;
}

void TXtForm::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (stale_)
        runHandler(this, [this] { reconnectData(); });
}

void TXtForm::done(int result) {
    QDialog::done(result);
    runHandler(this, [this] { FormClose(); });
}

void TXtForm::FormClose() {
    TMainForm *main = forms().main;
    listFill(main->ComboBox1, main->ADOQuery1, QStringLiteral("spxx"), QStringLiteral("品名"));
    listFill(main->ComboBox6, main->ADOQuery7, QStringLiteral("username"),
             QStringLiteral("用户名"));
}

void TXtForm::SpeedButton1Click() {
    TYhtjForm *dialog = forms().yhtj;
    dialog->Edit1->clear();
    dialog->Edit2->clear();
    dialog->exec();
}

void TXtForm::SpeedButton2Click() {
    // An empty users list (a file without the built-in "admin") has nobody to modify.
    if (ADOQuery1.recordCount() == 0)
        return;
    TYhxgForm *dialog = forms().yhxg;
    dialog->Edit2->clear();
    dialog->Edit3->clear();
    dialog->Edit1->setText(ADOQuery1.fieldText(QStringLiteral("用户名")));
    dialog->Edit4->setText(ADOQuery1.fieldText(QStringLiteral("权限")));
    dialog->ComboBox1->setCurrentIndex(permissionEntry(dialog->Edit4->text()));
    // Only who may add users may change a permission: the login disabled the add
    // button for an ordinary user.
    dialog->ComboBox1->setEnabled(SpeedButton1->isEnabled());
    dialog->exec();
}

void TXtForm::SpeedButton3Click() {
    if (!Messages::show(this, QStringLiteral("确定要删除选中的用户？"), Messages::Icon::Warning,
                        Messages::Buttons::OkCancel))
        return;
    if (isProtectedUser(ADOQuery1.fieldText(QStringLiteral("用户名")))) {
        Messages::show(this, QStringLiteral("管理员不能被删除！"), Messages::Icon::Error);
        return;
    }
    ADOQuery1.remove();
}

void TXtForm::SpeedButton4Click() {
    TSptjForm *dialog = forms().sptj;
    dialog->Edit1->clear();
    dialog->Edit2->clear();
    dialog->showBeside(this);
}

void TXtForm::SpeedButton5Click() {
    if (ADOQuery2.recordCount() == 0) {
        Messages::show(this, QStringLiteral("商品信息为空！"), Messages::Icon::None);
        return;
    }
    TSpxgForm *dialog = forms().spxg;
    dialog->Edit1->setText(ADOQuery2.fieldText(QStringLiteral("品名")));
    dialog->Edit2->setText(modifyPriceText(ADOQuery2.fieldText(QStringLiteral("单价"))));
    dialog->exec();
}

void TXtForm::SpeedButton6Click() {
    if (ADOQuery2.recordCount() == 0) {
        Messages::show(this, QStringLiteral("商品信息为空！"), Messages::Icon::Warning,
                       Messages::Buttons::OkCancel);
        return;
    }
    if (!Messages::show(this, QStringLiteral("确定要删除选中的商品？"), Messages::Icon::Warning,
                        Messages::Buttons::OkCancel))
        return;
    ADOQuery2.remove();
}

void TXtForm::SpeedButton7Click() {
    // The login made the shop name read-only for an ordinary user.
    if (Edit1->isReadOnly()) {
        Messages::show(this, QStringLiteral("您没有权限设置打印内容！"), Messages::Icon::None);
        return;
    }
    {
        const PendingWrite pending(ADOQuery3);
        ADOQuery3.edit();
        ADOQuery3.setField(QStringLiteral("店名"), Edit1->text());
        ADOQuery3.setField(QStringLiteral("备注"), remarkText(Memo1->toPlainText()));
        ADOQuery3.post();
    }
    Messages::show(this, QStringLiteral("设置打印内容保存成功！"), Messages::Icon::Warning);
    TMainForm *main = forms().main;
    main->Edit5->setText(ADOQuery3.fieldText(QStringLiteral("店名")));
    main->Memo1->setPlainText(ADOQuery3.fieldText(QStringLiteral("备注")));
}

void TXtForm::SpeedButton8Click() {
    forms().qxsm->exec();
}
