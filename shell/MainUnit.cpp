#include "MainUnit.h"

#include "AppInfo.h"
#include "Clock.h"
#include "Conventions.h"
#include "DataGrid.h"
#include "Fonts.h"
#include "Forms.h"
#include "Handlers.h"
#include "HotKeys.h"
#include "KeyFilters.h"
#include "ListFill.h"
#include "TitleBar.h"
#include "XstjUnit.h"
#include "XtUnit.h"

#include <QCloseEvent>
#include <QLabel>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTimer>

TMainForm::TMainForm(QWidget *parent) : QWidget(parent) {
    setupUi(this);
    setWindowTitle(QString::fromUtf8(AppInfo::title));
    setFixedSize(692, 677);
    setWindowFlag(Qt::FramelessWindowHint, true);
    new TitleBar(this, TitleBar::Menu | TitleBar::Minimize | TitleBar::Close, 59);

    const int widths[] = {260, 200, 0};
    for (int i = 0; i < 3; ++i) {
        auto *panel = new QLabel(StatusBar1);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        if (widths[i] > 0)
            panel->setFixedWidth(widths[i]);
        StatusBar1->addWidget(panel, widths[i] > 0 ? 0 : 1);
        statusPanels_[size_t(i)] = panel;
    }
    StatusBar1->setSizeGripEnabled(false);
    setStatusPanel(2, QStringLiteral("快捷键：帮助F1键、打印小票F5键"));

    DBGridEh1->setColumns(
        {{QStringLiteral("序号"), QString(), 45},
         {QStringLiteral("品名"), QStringLiteral("品名"), 250},
         {QStringLiteral("单价"), QStringLiteral("单价"), 80, GridColumn::Number},
         {QStringLiteral("数量"), QStringLiteral("数量"), 50, GridColumn::Number},
         {QStringLiteral("金额"), QStringLiteral("金额"), 105, GridColumn::Number},
         {QStringLiteral("折后"), QStringLiteral("折后"), 105, GridColumn::Number}});
    DBGridEh1->setDataFont(pixelFont(QStringLiteral("宋体"), 16));
    DBGridEh1->setQuery(&ADOQuery2);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);

    connectHandler(Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);
    connectHandler(CheckBox1, &QCheckBox::toggled, this, &TMainForm::CheckBox1Click);
    connectHandler(CheckBox2, &QCheckBox::toggled, this, &TMainForm::CheckBox2Click);
    connectHandler(CheckBox3, &QCheckBox::toggled, this, &TMainForm::CheckBox3Click);
    connectHandler(ComboBox5, &QComboBox::editTextChanged, this, &TMainForm::ComboBox5Change);
    connectHandler(ComboBox3, &QComboBox::editTextChanged, this, &TMainForm::ComboBox3Change);
    connectHandler(SpeedButton1, &QAbstractButton::clicked, this, &TMainForm::SpeedButton1Click);
    connectHandler(SpeedButton7, &QAbstractButton::clicked, this, &TMainForm::SpeedButton7Click);
    // The entry line: number keys only, amounts on every key release, price on a choice.
    new NumberKeyFilter(Edit3);
    new NumberKeyFilter(Edit4);
    new NumberKeyFilter(ComboBox2, [this] { return ComboBox1->currentText(); });
    new NumberKeyFilter(ComboBox4);
    connectHandler(ComboBox1, &TypeAheadComboBox::chosen, this, &TMainForm::ComboBox1Click);
    connectHandler(new KeyReleaseWatcher(Edit3), &KeyReleaseWatcher::released, this,
                   &TMainForm::Edit3KeyUp);
    connectHandler(new KeyReleaseWatcher(Edit4), &KeyReleaseWatcher::released, this,
                   &TMainForm::Edit4KeyUp);
    connectHandler(ComboBox2, &TypeAheadComboBox::chosen, this, &TMainForm::ComboBox2Click);
    connectHandler(ComboBox2, &TypeAheadComboBox::keyReleased, this, &TMainForm::ComboBox2KeyUp);
    connectHandler(ComboBox4, &TypeAheadComboBox::changed, this, &TMainForm::ComboBox4Change);
    connectHandler(ComboBox4, &TypeAheadComboBox::keyReleased, this, &TMainForm::ComboBox4KeyUp);
    // Width and copies keep what is typed, keystroke by keystroke, without completion.
    ComboBox5->setCompleter(nullptr);
    ComboBox3->setCompleter(nullptr);

    connectHandler(DBGridEh1, &QTableView::clicked, this, &TMainForm::DBGridEh1CellClick);
    connectHandler(SpeedButton9, &QAbstractButton::clicked, this, &TMainForm::SpeedButton9Click);
    connectHandler(SpeedButton2, &QAbstractButton::clicked, this, &TMainForm::SpeedButton2Click);
    connectHandler(SpeedButton3, &QAbstractButton::clicked, this, &TMainForm::SpeedButton3Click);
    connectHandler(SpeedButton4, &QAbstractButton::clicked, this, &TMainForm::SpeedButton4Click);
    connectHandler(SpeedButton5, &QAbstractButton::clicked, this, &TMainForm::SpeedButton5Click);
    connectHandler(SpeedButton6, &QAbstractButton::clicked, this, &TMainForm::SpeedButton6Click);

    // F1 and F5 for the whole desktop while the program runs; F5 prints as the button does.
    auto *hotKeys = new HotKeys(this);
    connectHandler(hotKeys, &HotKeys::f1Pressed, this, &TMainForm::HelpKeyPressed);
    connectHandler(hotKeys, &HotKeys::f5Pressed, this, &TMainForm::SpeedButton6Click);

    // Errors while the window is created end the start-up: not caught here.
    FormCreate();
    Timer1->start();
}

TMainForm::~TMainForm() = default;

void TMainForm::setStatusPanel(int panel, const QString &text) {
    statusPanels_[size_t(panel)]->setText(text);
}

QString TMainForm::statusPanel(int panel) const {
    return statusPanels_[size_t(panel)]->text();
}

void TMainForm::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (!shown_) {
        shown_ = true;
        runHandler(this, [this] { FormShow(); });
    }
}

void TMainForm::closeEvent(QCloseEvent *event) {
    runHandler(this, [this] { FormClose(); });
    QWidget::closeEvent(event);
}

void TMainForm::FormCreate() {
    ADOConnection1.open();
    ADOQuery1.setSql(QStringLiteral("select * from spxx"));
    ADOQuery2.setSql(QStringLiteral("select * from xsxx"));
    ADOQuery3.setSql(QStringLiteral("select * from dynr"));
    ADOQuery4.setSql(QStringLiteral("select * from xstj"));
    ADOQuery5.setSql(QStringLiteral("select * from xsmx"));
    ADOQuery6.setSql(QStringLiteral("select * from id"));
    ADOQuery7.setSql(QStringLiteral("select * from username"));
    for (Query *q : {&ADOQuery1, &ADOQuery2, &ADOQuery3, &ADOQuery4, &ADOQuery6, &ADOQuery7})
        q->open();

    // The switches as the settings row keeps them; a change runs its handler.
    CheckBox2->setChecked(ADOQuery6.fieldText(QStringLiteral("客户")) == QLatin1String("1"));
    CheckBox3->setChecked(ADOQuery6.fieldText(QStringLiteral("电话")) == QLatin1String("1"));

    Edit5->setText(ADOQuery3.fieldText(QStringLiteral("店名")));
    Memo1->setPlainText(ADOQuery3.fieldText(QStringLiteral("备注")));

    goodsListFill();
    listFill(ComboBox6, ADOQuery7, QStringLiteral("username"), QStringLiteral("用户名"));
    Timer1Timer();
    // Lines left by a run that ended before printing are the current sale: its totals
    // are shown, printed and recorded with it.
    if (!ADOQuery2.isEmpty())
        totalsRefresh();
}

void TMainForm::FormShow() {
    Edit1->setText(receiptNumber());
    {
        const QSignalBlocker b5(ComboBox5);
        const QSignalBlocker b3(ComboBox3);
        ComboBox5->setEditText(ADOQuery6.fieldText(QStringLiteral("pos")));
        ComboBox3->setEditText(ADOQuery6.fieldText(QStringLiteral("print")));
    }
    ComboBox1->setFocus();
}

void TMainForm::FormClose() {
    Timer1->stop();
}

void TMainForm::HelpKeyPressed() {
    openHelpFile(Store::dataDirectory());
}

void TMainForm::Timer1Timer() {
    Edit2->setText(timeText());
}

void TMainForm::setBoxColour(QWidget *box, bool windowColour) {
    QPalette p = box->palette();
    p.setColor(QPalette::Base,
               windowColour ? palette().color(QPalette::Base) : palette().color(QPalette::Button));
    box->setPalette(p);
}

void TMainForm::writeSettings(std::initializer_list<std::pair<const char *, const char *>> values) {
    ADOQuery6.edit();
    for (const auto &[column, value] : values)
        ADOQuery6.setField(QString::fromUtf8(column), QString::fromUtf8(value));
    ADOQuery6.post();
}

void TMainForm::CheckBox1Click() {
    if (CheckBox1->isChecked()) {
        Timer1->stop();
        setBoxColour(Edit2, true);
    } else {
        Timer1->start();
        setBoxColour(Edit2, false);
    }
}

void TMainForm::CheckBox2Click() {
    if (CheckBox2->isChecked()) {
        Edit9->setEnabled(true);
        setBoxColour(Edit9, true);
        writeSettings({{"客户", "1"}});
    } else {
        Edit9->setEnabled(false);
        Edit10->setEnabled(false);
        setBoxColour(Edit9, false);
        setBoxColour(Edit10, false);
        CheckBox3->setChecked(false);
        writeSettings({{"客户", "0"}, {"电话", "0"}});
    }
}

void TMainForm::CheckBox3Click() {
    if (CheckBox3->isChecked()) {
        Edit9->setEnabled(true);
        Edit10->setEnabled(true);
        setBoxColour(Edit9, true);
        setBoxColour(Edit10, true);
        CheckBox2->setChecked(true);
        writeSettings({{"客户", "1"}, {"电话", "1"}});
    } else {
        Edit10->setEnabled(false);
        setBoxColour(Edit10, false);
        writeSettings({{"电话", "0"}});
    }
}

void TMainForm::ComboBox5Change() {
    ADOQuery6.edit();
    ADOQuery6.setField(QStringLiteral("pos"), ComboBox5->currentText());
    ADOQuery6.post();
}

void TMainForm::ComboBox3Change() {
    ADOQuery6.edit();
    ADOQuery6.setField(QStringLiteral("print"), ComboBox3->currentText());
    ADOQuery6.post();
}

void TMainForm::SpeedButton1Click() {
    forms().xt->execOnUsersTab();
}

void TMainForm::SpeedButton7Click() {
    TXstjForm *xstj = forms().xstj;
    reconnect(xstj->ADOConnection1,
              {{&xstj->ADOQuery1, QStringLiteral("select * from xstj order by 时间 asc")}});
    xstj->exec();
}
