#include "ListFill.h"

#include "Conventions.h"

#include <QComboBox>
#include <QSignalBlocker>

void listFill(QComboBox *box, Query &query, const QString &table, const QString &column) {
    const QSignalBlocker block(box);
    box->clear();
    box->setEditText(QString());
    const QStringList values = distinctValues(query, table, column);
    box->clear();
    box->addItems(values);
    box->setCurrentIndex(-1);
    box->setEditText(QString());
}
