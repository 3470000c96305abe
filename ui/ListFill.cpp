#include "ListFill.h"

#include "Conventions.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <QStringListModel>

void listFill(QComboBox *box, Query &query, const QString &table, const QString &column) {
    const QSignalBlocker block(box);
    box->setCurrentIndex(-1);
    box->setEditText(QString());
    // A failing read leaves the box empty, as a fresh fill would.
    struct EmptyUnlessFilled {
        QComboBox *box;
        bool filled = false;
        ~EmptyUnlessFilled() {
            if (!filled)
                box->clear();
        }
    } guard{box};
    const QStringList values = distinctValues(query, table, column);
    // A plain list of texts: the box's own model makes an item object of every entry,
    // which for thousands of goods cost more than reading them.
    auto *list = qobject_cast<QStringListModel *>(box->model());
    if (!list) {
        list = new QStringListModel(box);
        box->setModel(list);
    }
    // The list is refilled after every added line; it rarely changes, and rebuilding
    // thousands of items each time would cost more than everything else of the line.
    if (list->stringList() != values)
        list->setStringList(values);
    box->setCurrentIndex(-1);
    box->setEditText(QString());
    guard.filled = true;
}

void listFillAfterWrite(QComboBox *box, Query &query, const QString &table, const QString &column,
                        const QString &added) {
    const QSignalBlocker block(box);
    openDistinct(query, table, column);
    if (!added.isEmpty())
        box->addItem(added);
    box->setCurrentIndex(-1);
    box->setEditText(QString());
}
