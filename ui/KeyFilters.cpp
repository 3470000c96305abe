#include "KeyFilters.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <algorithm>

namespace {

constexpr char16_t backspaceCode = 8;
constexpr char16_t returnCode = 13;
constexpr char16_t escapeCode = 27;
constexpr char16_t deleteCode = 127;

// The character code a key press types where the key itself decides it, or a null
// QChar when the event's text decides.
QChar codeOfKey(const QKeyEvent &event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    const int key = event.key();
    const bool control =
        (modifiers & Qt::ControlModifier) && !(modifiers & (Qt::AltModifier | Qt::MetaModifier));
    if (control && key >= Qt::Key_A && key <= Qt::Key_Z)
        return QChar(char16_t(key - Qt::Key_A + 1));
    switch (key) {
    case Qt::Key_Backspace:
        return QChar(control ? deleteCode : backspaceCode);
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QChar(returnCode);
    case Qt::Key_Escape:
        return QChar(escapeCode);
    default:
        return QChar();
    }
}

// The selection of a line edit as (start, length); with nothing selected the start
// is the caret.
std::pair<int, int> selectionOf(const QLineEdit *edit) {
    if (edit->hasSelectedText())
        return {edit->selectionStart(), edit->selectionLength()};
    return {edit->cursorPosition(), 0};
}

// A character that type-ahead looks at: a printable character typed without Ctrl,
// Alt or Meta.
bool isTypedCharacter(const QKeyEvent &event) {
    const QString text = event.text();
    if (text.size() != 1 || !text.at(0).isPrint())
        return false;
    return !(event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

} // namespace

// ---------------------------------------------------------------------------

bool numberKeyPasses(QChar typed, const QString &referenceText) {
    const char16_t code = typed.unicode();
    if (code == backspaceCode)
        return true;
    if (code >= u'0' && code <= u'9')
        return true;
    if (code == u'.')
        return !referenceText.contains(u'.');
    return false;
}

bool numberKeyEventPasses(const QKeyEvent &event, const QString &referenceText) {
    switch (event.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
        // Focus moves and forward deletion: these keys type no character.
        return true;
    default:
        break;
    }
    const QChar code = codeOfKey(event);
    if (!code.isNull())
        return numberKeyPasses(code, referenceText);
    const QString text = event.text();
    return std::all_of(text.begin(), text.end(),
                       [&](QChar typed) { return numberKeyPasses(typed, referenceText); });
}

NumberKeyFilter::NumberKeyFilter(QLineEdit *box, ReferenceText referenceText)
    : QObject(box), m_referenceText(std::move(referenceText)) {
    if (!m_referenceText)
        m_referenceText = [box] { return box->text(); };
    box->installEventFilter(this);
}

NumberKeyFilter::NumberKeyFilter(QComboBox *box, ReferenceText referenceText)
    : QObject(box), m_referenceText(std::move(referenceText)) {
    if (!m_referenceText)
        m_referenceText = [box] { return box->currentText(); };
    box->installEventFilter(this);
    if (QLineEdit *edit = box->lineEdit())
        edit->installEventFilter(this);
}

bool NumberKeyFilter::eventFilter(QObject *watched, QEvent *event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        return !numberKeyEventPasses(*static_cast<QKeyEvent *>(event), m_referenceText());
    case QEvent::InputMethod:
        return dropInputMethodCommit(watched, static_cast<QInputMethodEvent *>(event));
    default:
        return false;
    }
}

// An input method commits text without key presses; its characters are judged one
// by one like typed ones. A refused commit is dropped whole, and the box still gets
// the pre-edit part of the event.
bool NumberKeyFilter::dropInputMethodCommit(QObject *watched, QInputMethodEvent *event) {
    const QString commit = event->commitString();
    if (commit.isEmpty())
        return false;
    QString reference = m_referenceText();
    for (const QChar typed : commit) {
        if (!numberKeyPasses(typed, reference)) {
            QInputMethodEvent preeditOnly(event->preeditString(), event->attributes());
            QCoreApplication::sendEvent(watched, &preeditOnly);
            return true;
        }
        if (typed == u'.')
            reference += typed;
    }
    return false;
}

KeyReleaseWatcher::KeyReleaseWatcher(QWidget *box) : QObject(box) {
    box->installEventFilter(this);
}

bool KeyReleaseWatcher::eventFilter(QObject *, QEvent *event) {
    if (event->type() == QEvent::KeyRelease && !static_cast<QKeyEvent *>(event)->isAutoRepeat())
        emit released();
    return false;
}

// ---------------------------------------------------------------------------

namespace {

// Clamps a selection to the text.
std::pair<int, int> clampedSelection(const QString &text, int start, int length) {
    const int size = int(text.size());
    start = std::clamp(start, 0, size);
    length = std::clamp(length, 0, size - start);
    return {start, length};
}

} // namespace

TypeAheadResult typeAhead(const QStringList &items, const QString &text, int selectionStart,
                          int selectionLength, QChar typed) {
    const auto [start, length] = clampedSelection(text, selectionStart, selectionLength);
    const QString search = (length > 0 ? text.left(start) : text) + typed;
    for (int index = 0; index < items.size(); ++index) {
        const QString &item = items.at(index);
        if (item.startsWith(search, Qt::CaseInsensitive)) {
            const QString rest = item.mid(search.size());
            return {true, search + rest, int(search.size()), int(rest.size()), index};
        }
    }
    // Ordinary entry: the character replaces the selection (or goes in at the caret).
    return {false, text.left(start) + typed + text.mid(start + length), start + 1, 0, -1};
}

TypeAheadResult typeAheadBackspace(const QString &text, int selectionStart, int selectionLength) {
    const auto [start, length] = clampedSelection(text, selectionStart, selectionLength);
    if (length > 0)
        return {true, text.left(start) + text.mid(start + length), start, 0, -1};
    if (start == 0)
        return {true, text, 0, 0, -1};
    // A character outside the basic plane is two code units; delete both.
    int from = start - 1;
    if (from > 0 && text.at(from).isLowSurrogate() && text.at(from - 1).isHighSurrogate())
        --from;
    return {true, text.left(from) + text.mid(start), from, 0, -1};
}

// ---------------------------------------------------------------------------

TypeAheadComboBox::TypeAheadComboBox(QWidget *parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    wireLineEdit();
    // A pick in the list, the arrow keys or the wheel: Qt reports these as
    // activated, the current item and text already set.
    connect(this, &QComboBox::activated, this, [this] {
        emit chosen();
        emit changed();
    });
}

// Set-up of the edit part; done again whenever the box gets a new line edit
// (setEditable(false) then true, setLineEdit).
void TypeAheadComboBox::wireLineEdit() {
    QLineEdit *edit = lineEdit();
    if (edit == m_wiredEdit)
        return;
    m_wiredEdit = edit;
    if (!edit)
        return;
    setCompleter(nullptr);
    // Qt makes an item current, and reports it activated, when the text equals an
    // item at focus out or Enter; here the current item follows the user's choice.
    disconnect(edit, &QLineEdit::editingFinished, this, nullptr);
    // textEdited comes from the user only: typing not consumed, paste, cut, Delete.
    connect(edit, &QLineEdit::textEdited, this, &TypeAheadComboBox::changed);
    edit->installEventFilter(this);
}

bool TypeAheadComboBox::event(QEvent *event) {
    wireLineEdit();
    return QComboBox::event(event);
}

// Keys and input-method text normally come to the box itself, which hands them to
// its line edit. Those sent to the line edit directly take the same way through
// the box, so that the box's filters and type-ahead see every key once.
bool TypeAheadComboBox::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_wiredEdit && !m_redirecting) {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::InputMethod: {
            const QScopedValueRollback redirecting(m_redirecting, true);
            QCoreApplication::sendEvent(this, event);
            return true;
        }
        default:
            break;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

void TypeAheadComboBox::keyPressEvent(QKeyEvent *event) {
    QLineEdit *edit = lineEdit();
    if (edit && !edit->isReadOnly()) {
        const bool plainBackspace =
            event->key() == Qt::Key_Backspace &&
            !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        if (plainBackspace) {
            backspaceStep();
            event->accept();
            return;
        }
        if (isTypedCharacter(*event) && typeAheadStep(event->text().at(0))) {
            event->accept();
            return;
        }
    }
    QComboBox::keyPressEvent(event);
}

void TypeAheadComboBox::keyReleaseEvent(QKeyEvent *event) {
    QComboBox::keyReleaseEvent(event);
    if (!event->isAutoRepeat())
        emit keyReleased();
}

// Text committed by an input method (Chinese goods names) takes the type-ahead
// character by character, like typed keys.
void TypeAheadComboBox::inputMethodEvent(QInputMethodEvent *event) {
    QLineEdit *edit = lineEdit();
    const QString commit = event->commitString();
    if (!edit || edit->isReadOnly() || commit.isEmpty() || !event->preeditString().isEmpty() ||
        event->replacementLength() != 0) {
        QComboBox::inputMethodEvent(event);
        return;
    }
    // Ends the composition shown in the box before the text is worked in.
    QInputMethodEvent endComposition;
    QComboBox::inputMethodEvent(&endComposition);
    for (qsizetype i = 0; i < commit.size(); ++i) {
        const QChar typed = commit.at(i);
        const bool pair =
            typed.isHighSurrogate() && i + 1 < commit.size() && commit.at(i + 1).isLowSurrogate();
        if (!pair && typed.isPrint() && typeAheadStep(typed))
            continue;
        QInputMethodEvent entry;
        entry.setCommitString(commit.mid(i, pair ? 2 : 1));
        QComboBox::inputMethodEvent(&entry);
        if (pair)
            ++i;
    }
}

bool TypeAheadComboBox::typeAheadStep(QChar typed) {
    QLineEdit *edit = lineEdit();
    const auto [start, length] = selectionOf(edit);
    const TypeAheadResult result = typeAhead(itemTexts(), edit->text(), start, length, typed);
    if (!result.consumed)
        return false;
    const bool otherItem = result.matchedIndex != currentIndex();
    if (otherItem)
        setCurrentIndex(result.matchedIndex);
    edit->setText(result.text);
    edit->setSelection(result.selectionStart, result.selectionLength);
    if (otherItem) {
        emit chosen();
        emit changed();
    }
    return true;
}

void TypeAheadComboBox::backspaceStep() {
    QLineEdit *edit = lineEdit();
    const auto [start, length] = selectionOf(edit);
    const TypeAheadResult result = typeAheadBackspace(edit->text(), start, length);
    if (currentIndex() != -1)
        setCurrentIndex(-1);
    edit->setText(result.text);
    edit->setCursorPosition(result.selectionStart);
    emit changed();
}

QStringList TypeAheadComboBox::itemTexts() const {
    QStringList texts;
    texts.reserve(count());
    for (int index = 0; index < count(); ++index)
        texts.append(itemText(index));
    return texts;
}
