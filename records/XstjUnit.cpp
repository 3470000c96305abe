#include "XstjUnit.h"

#include "Conventions.h"
#include "Export.h"
#include "Fonts.h"
#include "Forms.h"
#include "Handlers.h"
#include "ListFill.h"
#include "Messages.h"
#include "SalesRecords.h"
#include "WindowSetup.h"
#include "XscxUnit.h"
#include "XsmxUnit.h"

#include <QCoreApplication>
#include <QMenu>
#include <QProgressDialog>
#include <QStyle>

TXstjForm::TXstjForm(QWidget *parent) : QDialog(parent) {
    setupUi(this);
    setupFixedWindow(this, 717, 514);

    const QFont font = pixelFont(QStringLiteral("宋体"), 15);
    const std::pair<QToolButton *, QStyle::StandardPixmap> buttons[] = {
        {SpeedButton1, QStyle::SP_FileDialogContentsView},
        {SpeedButton3, QStyle::SP_BrowserReload},
        {SpeedButton2, QStyle::SP_DialogSaveButton},
        {SpeedButton4, QStyle::SP_TrashIcon},
    };
    for (const auto &[button, picture] : buttons) {
        button->setFont(font);
        button->setIcon(style()->standardIcon(picture));
    }

    DBGridEh1->setColumns({
        {QStringLiteral("序号"), QString(), 50},
        {QStringLiteral("单号"), QStringLiteral("单号"), 90},
        {QStringLiteral("时间"), QStringLiteral("时间"), 155},
        {QStringLiteral("数量"), QStringLiteral("数量"), 60, GridColumn::Number, true},
        {QStringLiteral("金额"), QStringLiteral("金额"), 100, GridColumn::Number, true},
        {QStringLiteral("折后"), QStringLiteral("折后"), 100, GridColumn::Number, true},
        {QStringLiteral("收银员"), QStringLiteral("收银员"), 90},
    });
    DBGridEh1->setNumberEmptyRows(false);
    DBGridEh1->setFooterVisible(true);
    DBGridEh1->setQuery(&ADOQuery1);

    suiPopupMenu1 = new QMenu(this);
    suiPopupMenu1->setObjectName(QStringLiteral("suiPopupMenu1"));
    suiPopupMenu1->addAction(N1);
    suiPopupMenu1->addAction(N2);
    N3 = suiPopupMenu1->addSeparator();
    N3->setObjectName(QStringLiteral("N3"));
    suiPopupMenu1->addAction(N4);
    N5 = suiPopupMenu1->addSeparator();
    N5->setObjectName(QStringLiteral("N5"));
    suiPopupMenu1->addAction(N6);
    DBGridEh1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGridEh1, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        suiPopupMenu1->popup(DBGridEh1->viewport()->mapToGlobal(at));
    });

    connectHandler(SpeedButton1, &QAbstractButton::clicked, this, &TXstjForm::SpeedButton1Click);
    connectHandler(SpeedButton3, &QAbstractButton::clicked, this, &TXstjForm::SpeedButton3Click);
    connectHandler(SpeedButton4, &QAbstractButton::clicked, this, &TXstjForm::SpeedButton4Click);
    connectHandler(SpeedButton2, &QAbstractButton::clicked, this, &TXstjForm::SpeedButton2Click);
    // Each menu item runs the operation of the button with its caption.
    connectHandler(N1, &QAction::triggered, this, &TXstjForm::SpeedButton1Click);
    connectHandler(N2, &QAction::triggered, this, &TXstjForm::SpeedButton3Click);
    connectHandler(N4, &QAction::triggered, this, &TXstjForm::SpeedButton2Click);
    connectHandler(N6, &QAction::triggered, this, &TXstjForm::SpeedButton4Click);
    connectHandler(DBGridEh1, &DataGrid::gridDoubleClicked, this, &TXstjForm::DBGridEh1DblClick);

    // The main window loads the list before every showing; nothing of the (long)
    // history of receipts is read at start-up.
    ADOConnection1.open();
    ADOQuery1.setSql(QStringLiteral("select * from xstj"));
}

void TXstjForm::SpeedButton1Click() {
    TXscxForm *query = forms().xscx;
    query->fillReceiptNumbers();
    listFill(query->ComboBox2, query->ADOQuery2, QStringLiteral("username"),
             QStringLiteral("用户名"));
    query->exec();
}

void TXstjForm::SpeedButton3Click() {
    reconnect(ADOConnection1, {{&ADOQuery1, QStringLiteral("select * from xstj")}});
}

void TXstjForm::SpeedButton4Click() {
    if (!ADOQuery1.isOpen() || ADOQuery1.isEmpty())
        return;
    if (!Messages::show(this, QStringLiteral("确定要删除选中的销售信息？"), Messages::Icon::Warning,
                        Messages::Buttons::OkCancel))
        return;
    deleteReceipt(ADOConnection1, ADOQuery1);
}

void TXstjForm::SpeedButton2Click() {
    const QString chosen = ExportDialog::chooseFile(this);
    if (chosen.isEmpty())
        return;
    // Shown only when the export takes a while; the window stays alive meanwhile.
    QProgressDialog progress(QStringLiteral("正在导出销售数据……"), QStringLiteral("取消"), 0,
                             ADOQuery1.recordCount() + 1, this);
    progress.setWindowTitle(QStringLiteral("导出"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    const bool done =
        exportList(ADOQuery1, exportFileName(chosen), [&progress](int step, int steps) {
            progress.setMaximum(steps);
            progress.setValue(step);
            // Until the dialog shows (and keeps the window from input), no click may reach
            // the window in the middle of the export: another export, a delete.
            QCoreApplication::processEvents(
                progress.isVisible() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
            return !progress.wasCanceled();
        });
    progress.reset();
    if (done)
        Messages::show(this, QStringLiteral("成功导出全部数据!"), Messages::Icon::None);
}

void TXstjForm::DBGridEh1DblClick() {
    TXsmxForm *detail = forms().xsmx;
    detail->ADOConnection1.close();
    detail->ADOConnection1.open();
    const std::optional<QString> number = currentReceiptNumber(ADOQuery1);
    Edit1->setText(number.value_or(QString()));
    loadReceiptLines(detail->ADOQuery1, number);
    detail->exec();
}
