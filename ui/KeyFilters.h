#pragma once

#include <QChar>
#include <QComboBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

class QInputMethodEvent;
class QKeyEvent;
class QLineEdit;

// ---------------------------------------------------------------------------
// Number key filter of the numeric fields (price, quantity, discount, paid).

// Whether a character typed into a number field is let through: Backspace (8),
// "." and the digits "0" to "9" pass; every other character is dropped (letters,
// "-", "+", space, Enter, Escape, control codes such as Ctrl+C/V/X/Z = 3/22/24/26).
// A "." is dropped too when the reference text already holds a ".", whatever part
// of the field is selected.
bool numberKeyPasses(QChar typed, const QString &referenceText);

// The same judgement for a key press as the widgets receive it. Keys that type no
// character pass untouched: arrows, Home/End, Tab, Delete, Insert (so Shift+Insert
// still pastes), function keys. Ctrl+letter types its control code (Ctrl+V is 22)
// and Ctrl+Backspace types 127, whatever text the platform attaches; Enter and
// Escape type 13 and 27. Everything else is judged by the event's text.
bool numberKeyEventPasses(const QKeyEvent &event, const QString &referenceText);

// Event filter that drops the key presses (and input-method commits) that the
// number key filter refuses, before the box sees them. It is a child of the box.
// The reference text for the "." test is the box's own text unless a function
// returning another text is given (the discount box uses the goods-name text).
// Pasting with the mouse, the context menu or Shift+Insert is not filtered.
class NumberKeyFilter : public QObject {
    Q_OBJECT

public:
    using ReferenceText = std::function<QString()>;

    explicit NumberKeyFilter(QLineEdit *box, ReferenceText referenceText = {});
    // Watches the combo box itself (it receives the keys) and its line edit.
    explicit NumberKeyFilter(QComboBox *box, ReferenceText referenceText = {});

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool dropInputMethodCommit(QObject *watched, QInputMethodEvent *event);

    ReferenceText m_referenceText;
};

// Emits released() on every key release in a widget (an edit box), whatever the
// key: arrows, Tab and Backspace included. Auto-repeat releases are skipped, so a
// held key counts once. It is a child of the widget.
class KeyReleaseWatcher : public QObject {
    Q_OBJECT

public:
    explicit KeyReleaseWatcher(QWidget *box);

signals:
    void released();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// ---------------------------------------------------------------------------
// Type-ahead completion of the editable drop-down lists.

// The state of the edit part after one step. The selection is [selectionStart,
// selectionStart + selectionLength); with length 0, selectionStart is the caret.
// matchedIndex is the list item the step selects, -1 for none.
struct TypeAheadResult {
    bool consumed = false;
    QString text;
    int selectionStart = 0;
    int selectionLength = 0;
    int matchedIndex = -1;
};

// One typed character. The search text is the text up to the start of the
// selection followed by the typed character; with nothing selected it is the whole
// text followed by the character, wherever the caret stands. The first item that
// begins with the search text (letter case ignored) wins: the text becomes the
// search text plus the rest of that item, the rest is selected, and the character
// is consumed. When no item matches, the character is not consumed; the result then
// shows the ordinary entry (the character replaces the selection, or goes in at the
// caret) with no item matched. Out-of-range selections are clamped to the text.
TypeAheadResult typeAhead(const QStringList &items, const QString &text, int selectionStart,
                          int selectionLength, QChar typed);

// Backspace: deletes the selection if there is one, otherwise the character before
// the caret (nothing at the start of the text). Always consumed; no item is
// selected afterwards.
TypeAheadResult typeAheadBackspace(const QString &text, int selectionStart, int selectionLength);

// Editable drop-down list with our type-ahead instead of Qt's completer. Usable as
// a promoted widget in forms (header "KeyFilters.h").
//
// Signals, in this order for one typed key (after any key filter on the box):
//  - chosen(): an item was chosen by the user: type-ahead reached an item other
//    than the one selected before, a pick in the drop-down list, or the arrow keys
//    (or the wheel) stepping to another item;
//  - changed(): the user changed the text: after every chosen(), on typing that
//    type-ahead did not consume, on Backspace, paste, cut, Delete. Text set by the
//    program (setEditText, setCurrentIndex, list fill) emits nothing, unlike
//    QComboBox::editTextChanged;
//  - keyReleased(): every key release in the box, whatever the key.
// Qt's own syncing of the current item to the text when editing finishes (focus
// out, Enter) is switched off: only the user's choice changes the item. New text
// is never inserted as an item.
class TypeAheadComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit TypeAheadComboBox(QWidget *parent = nullptr);

signals:
    void chosen();
    void changed();
    void keyReleased();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    void wireLineEdit();
    bool typeAheadStep(QChar typed);
    void backspaceStep();
    QStringList itemTexts() const;

    QPointer<QLineEdit> m_wiredEdit;
    bool m_redirecting = false;
};
