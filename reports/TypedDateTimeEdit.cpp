#include "reports/TypedDateTimeEdit.h"

#include "common/WithReason.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTimer>
#include <QVector>

namespace {

struct Field {
    int start;
    int length;
};

// The fields of a numeric date-time text: its runs of digits.
QVector<Field> fieldsOf(const QString &text)
{
    QVector<Field> fields;
    for (int i = 0; i < text.size();) {
        if (!text.at(i).isDigit()) {
            ++i;
            continue;
        }
        int end = i;
        while (end < text.size() && text.at(end).isDigit())
            ++end;
        fields.append({i, end - i});
        i = end;
    }
    return fields;
}

} // namespace

TypedDateTimeEdit::TypedDateTimeEdit(QWidget *parent)
    : QDateTimeEdit(parent)
{
}

void TypedDateTimeEdit::beginRun()
{
    const QLineEdit *edit = lineEdit();
    const QString text = edit->text();
    const int at = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    // Typing that begins inside a field adds to the digits there, as the edit alone decides.
    if (at >= text.size() || !text.at(at).isDigit() || (at > 0 && text.at(at - 1).isDigit()))
        return;
    m_firstField = fieldsOf(text.left(at)).size();
    m_before = dateTime();
    m_typed.clear();
    m_running = true;
}

QDateTime TypedDateTimeEdit::typedTime() const
{
    // The time before the run in the display format, each field the run reached replaced by the
    // digits typed for it: a field ends when it has all its digits or at any other character.
    QString text = m_before.toString(displayFormat());
    const QVector<Field> fields = fieldsOf(text);
    bool typedAny = false;
    int field = m_firstField;
    QString digits;
    const auto put = [&] {
        if (digits.isEmpty())
            return;
        typedAny = true;
        const Field &f = fields.at(field);
        text.replace(f.start, f.length, digits.rightJustified(f.length, QLatin1Char('0')));
        ++field;
        digits.clear();
    };
    for (const QChar c : m_typed) {
        if (!c.isDigit()) {
            put();
            continue;
        }
        if (field >= fields.size())
            return QDateTime(); // a digit beyond the last field
        digits += c;
        if (digits.size() == fields.at(field).length)
            put();
    }
    put();
    if (!typedAny)
        return m_before;
    // The time as shown, to the second typed: no milliseconds left from before.
    const QDateTime typed = QDateTime::fromString(text, displayFormat());
    if (!typed.isValid() || typed < minimumDateTime() || typed > maximumDateTime())
        return QDateTime();
    return typed;
}

bool TypedDateTimeEdit::finishTyping()
{
    if (m_refusedNow) {
        m_refusedNow = false;
        return false;
    }
    if (!m_running)
        return true;
    m_running = false;
    const QDateTime typed = typedTime();
    if (typed.isValid()) {
        if (dateTime() != typed)
            setDateTime(typed);
        return true;
    }
    setDateTime(m_before);
    QMessageBox::information(window(), tr("提示"), withReason(tr("输入的时间无效，已恢复原来的时间!"), m_typed),
                             QMessageBox::Ok);
    // Refused as the focus left for a button: that button's press goes on after the box, and its
    // click must not act on the time put back. The refusal counts until the events of this user
    // action are through.
    m_refusedNow = true;
    QTimer::singleShot(0, this, [this] { m_refusedNow = false; });
    return false;
}

void TypedDateTimeEdit::keyPressEvent(QKeyEvent *event)
{
    const QString text = event->text();
    const Qt::KeyboardModifiers commands = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    const bool typing = text.size() == 1 && text.at(0).isPrint() && !(event->modifiers() & commands);
    QLineEdit *edit = lineEdit();
    if (typing) {
        const QChar c = text.at(0);
        // Over the whole text the edit takes no digit: typing starts in the first field instead.
        if (edit->hasSelectedText() && edit->selectedText() == edit->text() && sectionCount() > 1) {
            m_running = false;
            setCurrentSectionIndex(0);
            setSelectedSection(sectionAt(0));
        }
        if (!m_running)
            beginRun();
        if (m_running)
            m_typed += c;
        // A field with all its digits is left at once; the separator typed after it is the one
        // just passed, not a request to skip the next field.
        const int at = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
        if (!c.isDigit() && at > 0 && edit->text().at(at - 1) == c) {
            event->accept();
            return;
        }
    } else if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete || event->key() == Qt::Key_Escape
               || (event->modifiers() & commands)) {
        // Editing commands change the text in the edit's own way, and Escape leaves: the run is
        // no longer what the edit holds.
        m_running = false;
    } else if (event->key() != Qt::Key_Shift && event->key() != Qt::Key_Control && event->key() != Qt::Key_Alt
               && event->key() != Qt::Key_Meta) {
        // Enter, a move or a step: the typed time first.
        if (!finishTyping()) {
            event->accept();
            return;
        }
    }
    QDateTimeEdit::keyPressEvent(event);
}

void TypedDateTimeEdit::focusOutEvent(QFocusEvent *event)
{
    // A window closing takes its typing with it; a menu of the edit's own keeps it.
    if (!window()->isVisible())
        m_running = false;
    else if (event->reason() != Qt::PopupFocusReason)
        finishTyping();
    QDateTimeEdit::focusOutEvent(event);
}

void TypedDateTimeEdit::mousePressEvent(QMouseEvent *event)
{
    if (!finishTyping()) {
        event->accept();
        return;
    }
    QDateTimeEdit::mousePressEvent(event);
}
