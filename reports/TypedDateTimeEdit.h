#pragma once

#include <QDateTime>
#include <QDateTimeEdit>
#include <QString>

// A date-time edit for numeric display formats ("yyyy-MM-dd HH:mm:ss") whose typed time is taken
// as typed or visibly refused.
//
// The plain edit mangles a time typed in one go: over a whole selection it takes no digit, and a
// separator typed after a field it has already left makes it skip the next field, so that
// "2026-03-02 09:15:30" became 09:00:15. Here typing over the whole text starts in the first
// field, a separator right after that same separator is taken as typed already, and a run of
// typing that began at the start of a field is read again as the user typed it when it ends (the
// edit loses the focus, Enter, a click, another key, or finishTyping()): a time that exists is
// set as typed, to the second with no milliseconds, fields the run did not reach kept; one that
// does not (30 February, hour 25, a digit too many) puts back the time from before the run and
// says so in a box. Backspace, Delete, Escape and key commands leave the typing to the plain edit.
class TypedDateTimeEdit : public QDateTimeEdit
{
    Q_OBJECT
public:
    explicit TypedDateTimeEdit(QWidget *parent = nullptr);

    // Ends a run of typing now; false when its time was refused (and the box shown), also when
    // that happened a moment ago as the focus left the edit for the control that now asks.
    bool finishTyping();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    // The time the typed run gives; invalid when it gives none.
    QDateTime typedTime() const;
    void beginRun();

    bool m_running = false;
    bool m_refusedNow = false; // a refusal of the user action still being handled
    QDateTime m_before;        // the time when the run began
    int m_firstField = 0;      // the field the run began in, counted from 0
    QString m_typed;
};
