#include "ListFill.h"

#include "Conventions.h"

#include <QComboBox>
#include <QSignalBlocker>

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
    // The list is refilled after every added line; it rarely changes, and rebuilding
    // thousands of items each time would cost more than everything else of the line.
    bool same = box->count() == values.size();
    for (int i = 0; same && i < box->count(); ++i)
        same = box->itemText(i) == values[i];
    if (!same) {
        box->clear();
        box->addItems(values);
    }
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
