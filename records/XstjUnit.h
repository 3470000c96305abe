#pragma once

#include "ui_XstjUnit.h"

#include "Database.h"

#include <QDialog>

class QMenu;

// 销售统计: the printed receipts with their sums; the way to the query window, the
// details of a receipt, deleting and the spreadsheet export.
class TXstjForm : public QDialog, public Ui::TXstjForm {
    Q_OBJECT
public:
    explicit TXstjForm(QWidget *parent = nullptr);

    Connection ADOConnection1;
    Query ADOQuery1{ADOConnection1}; // xstj: the list

    // The grid's pop-up menu: N1 查询, N2 刷新, N3 —, N4 导出, N5 —, N6 删除.
    QMenu *suiPopupMenu1 = nullptr;
    QAction *N3 = nullptr;
    QAction *N5 = nullptr;

private slots:
    void SpeedButton1Click(); // 查询
    void SpeedButton3Click(); // 刷新
    void SpeedButton4Click(); // 删除
    void SpeedButton2Click(); // 导出
    void DBGridEh1DblClick(); // the lines of the current receipt
};
