#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <functional>

// Answers modal windows for code under test that runs exec() (message boxes, dialogs).
//
// While the helper lives, a 10 ms timer looks at QApplication::activeModalWidget():
//  - a QMessageBox is recorded and answered with the next queued press() or pressKey(); without
//    one, the least committal button is pressed: Cancel, No, Close or Abort when present, else
//    the only/default/first button. Every box is answered, so a test never hangs on one.
//  - any other modal widget (a QDialog) is recorded and given to the next queued handler whose
//    class matches; without one it is left alone (so a shown QWaiting stays as it is). A handler
//    may fill fields and accept() or reject(), or open a message box, which is answered in turn.
//  - a window that keeps code under test waiting in its own event loop (run by exec()), which
//    would otherwise wait for ctest's time-out, fails the running test, naming its class, title
//    and texts, and is then closed, so the test ends: a dialog with no handler queued after
//    UnansweredMs; an answered dialog, or a QWaiting, still in front StuckMs after its handler
//    returned (a step that never came). Once the helper has failed a test, any window left in
//    front is closed after UnansweredMs.
//  - waitFor() that times out logs what was met and what is still open.
//
//   MessageBoxHelper boxes;
//   boxes.press(QMessageBox::Yes);     // for the first box
//   window.close();                    // runs QMessageBox::question(...) inside
//   QCOMPARE(boxes.last().text, QString("确认退出程序?"));
//   boxes.onDialog([](QWidget *w) { qobject_cast<QDialog *>(w)->accept(); }, "ParametersMode");
class MessageBoxHelper : public QObject
{
    Q_OBJECT
public:
    // One modal window the helper met.
    struct Box {
        bool isMessageBox = false;
        QString className;                        // e.g. "QMessageBox", "ParametersMode"
        QString objectName;
        QString title;                            // window title
        QString text;                             // QMessageBox::text(), empty for dialogs
        QString informativeText;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QStringList buttons;                      // button texts without '&', as laid out
        QMessageBox::StandardButtons standardButtons;
        QString pressed;                          // text (without '&') of the button pressed
        QMessageBox::StandardButton pressedButton = QMessageBox::NoButton;
    };

    // How long an unanswered window may keep code under test waiting in its event loop.
    static constexpr int UnansweredMs = 1000;
    // How long an answered window or a QWaiting may stay in front after its handler returned.
    static constexpr int StuckMs = 30000;

    explicit MessageBoxHelper(QObject *parent = nullptr)
        : QObject(parent), m_BaseLoopLevel(QThread::currentThread()->loopLevel())
    {
        m_Timer.setInterval(10);
        connect(&m_Timer, &QTimer::timeout, this, &MessageBoxHelper::poll);
        m_Timer.start();
    }

    // Queue the answer of the next message box: a standard button, a button by its text (without
    // '&'; a missing one is recorded as pressed == "" and the box answered as if nothing had been
    // queued), or a key press (for example Qt::Key_Return) instead of a click.
    void press(QMessageBox::StandardButton button) { m_Answers.append({button, QString()}); }
    void press(const QString &buttonText) { m_Answers.append({QMessageBox::NoButton, plain(buttonText)}); }
    void pressKey(int key) { m_Answers.append({QMessageBox::NoButton, QString(), key}); }

    // Queue a handler for the next modal non-message-box widget that inherits className
    // (any class except QWaiting when className is null).
    void onDialog(const std::function<void(QWidget *)> &handler, const char *className = nullptr)
    {
        m_Handlers.append({handler, QByteArray(className)});
    }
    void acceptDialog(const char *className = nullptr) { closeDialog(className, true); }
    void rejectDialog(const char *className = nullptr) { closeDialog(className, false); }

    const QList<Box> &boxes() const { return m_Boxes; }
    int count() const { return m_Boxes.size(); }
    Box last() const { return m_Boxes.isEmpty() ? Box() : m_Boxes.constLast(); }
    // The text of every message box met.
    QStringList texts() const
    {
        QStringList list;
        for (const Box &box : m_Boxes) {
            if (box.isMessageBox)
                list << box.text;
        }
        return list;
    }
    int pendingAnswers() const { return m_Answers.size() + m_Handlers.size(); }
    // Shortens (or lengthens) StuckMs for this helper.
    void setStuckMs(int ms) { m_StuckMs = ms; }
    void clear() { m_Boxes.clear(); }

    // Processes events until count() >= n; false on timeout, with what was met in the log.
    bool waitFor(int n, int timeoutMs = 5000)
    {
        if (QTest::qWaitFor([&]() { return m_Boxes.size() >= n; }, timeoutMs))
            return true;
        QStringList met;
        for (const Box &box : qAsConst(m_Boxes))
            met << describe(box);
        QWidget *open = QApplication::activeModalWidget();
        qWarning().noquote() << QStringLiteral("MessageBoxHelper: waited %1 ms for %2 windows, met %3: [%4]; open now: %5")
                                    .arg(timeoutMs).arg(n).arg(m_Boxes.size()).arg(met.join(QStringLiteral("; ")),
                                                                                    open ? describe(recordOf(open)) : QStringLiteral("none"));
        return false;
    }

    // "<class> "<title>": <texts>", one line.
    static QString describe(const Box &box)
    {
        QString text = box.className + QStringLiteral(" \"") + box.title + QLatin1Char('"');
        const QString texts = QStringList({box.text, box.informativeText}).join(QLatin1Char(' ')).trimmed();
        if (!texts.isEmpty())
            text += QStringLiteral(": ") + texts;
        return text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    }

private:
    struct Answer {
        QMessageBox::StandardButton button = QMessageBox::NoButton;
        QString text;
        int key = 0;
    };
    struct Handler {
        std::function<void(QWidget *)> function;
        QByteArray className;
    };

    static QString plain(QString text) { return text.remove(QLatin1Char('&')); }

    void closeDialog(const char *className, bool accept)
    {
        onDialog([accept](QWidget *w) {
            if (auto *dialog = qobject_cast<QDialog *>(w))
                accept ? dialog->accept() : dialog->reject();
        }, className);
    }

    void markHandled(QWidget *widget)
    {
        m_Handled.append(widget);
        widget->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // A window that is hidden is forgotten, so when it is shown again it is answered again.
        if (event->type() == QEvent::Hide) {
            if (auto *widget = qobject_cast<QWidget *>(watched)) {
                m_Handled.removeAll(widget);
                widget->removeEventFilter(this);
            }
        }
        return QObject::eventFilter(watched, event);
    }

    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        m_Handled.removeAll(QPointer<QWidget>());
        if (!modal || !modal->isVisible()) {
            m_Watched = nullptr;
        } else if (m_Handled.contains(modal)) {
            watch(modal, m_StuckMs, "modal window still open after its answer, a step never came");
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            markHandled(modal);
            answerMessageBox(box);
        } else if (!handleDialog(modal)) {
            // A QWaiting is its owner's to close; any other window left alone is unexpected.
            if (modal->inherits("QWaiting"))
                watch(modal, m_StuckMs, "busy window still open, a step never came");
            else
                watch(modal, UnansweredMs, "unexpected modal window, no answer queued for it");
        }
    }

    // A dialog or box as a record; for a dialog, the texts of its labels stand for its text.
    static Box recordOf(QWidget *widget)
    {
        Box box;
        box.className = QString::fromLatin1(widget->metaObject()->className());
        box.objectName = widget->objectName();
        box.title = widget->windowTitle();
        if (auto *message = qobject_cast<QMessageBox *>(widget)) {
            box.isMessageBox = true;
            box.text = message->text();
            box.informativeText = message->informativeText();
        } else {
            QStringList labels;
            for (QLabel *label : widget->findChildren<QLabel *>()) {
                if (label->isVisible() && !label->text().isEmpty())
                    labels << label->text();
            }
            box.text = labels.join(QLatin1Char(' '));
        }
        return box;
    }

    // Watches the modal window that code under test waits on in an event loop above the test's
    // own (exec()): when the same one stays in front, with no handler running, for longer than
    // limitMs (UnansweredMs once the helper has failed a test), the test fails naming it and
    // the window is closed, so the code goes on and the test ends.
    void watch(QWidget *modal, int limitMs, const char *why)
    {
        const bool blocking = QThread::currentThread()->loopLevel() > m_BaseLoopLevel;
        if (!blocking || m_RunningHandlers > 0) {
            m_Watched = nullptr;
            return;
        }
        if (m_Watched != modal) {
            m_Watched = modal;
            m_WatchedSince.start();
            return;
        }
        if (m_WatchedSince.elapsed() < (m_Failed ? UnansweredMs : limitMs))
            return;
        m_Watched = nullptr;
        m_Failed = true;
        if (!m_Handled.contains(modal))
            markHandled(modal);
        const Box met = recordOf(modal);
        m_Boxes.append(met);
        const QByteArray message = QStringLiteral("%1: %2").arg(QString::fromLatin1(why), describe(met)).toUtf8();
        QTest::qFail(message.constData(), __FILE__, __LINE__);
        QPointer<QWidget> target(modal);
        QTimer::singleShot(0, this, [target]() {
            if (auto *dialog = qobject_cast<QDialog *>(target.data()))
                dialog->done(QDialog::Rejected);
            else if (target)
                target->close();
        });
    }

    void answerMessageBox(QMessageBox *box)
    {
        Box record;
        record.isMessageBox = true;
        record.className = QString::fromLatin1(box->metaObject()->className());
        record.objectName = box->objectName();
        record.title = box->windowTitle();
        record.text = box->text();
        record.informativeText = box->informativeText();
        record.icon = box->icon();
        record.standardButtons = box->standardButtons();
        auto *buttonBox = box->findChild<QDialogButtonBox *>();
        const QList<QAbstractButton *> buttons = buttonBox ? buttonBox->buttons() : box->buttons();
        for (QAbstractButton *button : buttons)
            record.buttons << plain(button->text());

        QPointer<QMessageBox> target(box);
        if (!m_Answers.isEmpty() && m_Answers.constFirst().key) {
            const int key = m_Answers.takeFirst().key;
            m_Boxes.append(record);
            QTimer::singleShot(0, this, [target, key]() {
                if (target)
                    QTest::keyClick(target, Qt::Key(key));
            });
            return;
        }
        QAbstractButton *chosen = nullptr;
        bool missing = false;
        if (!m_Answers.isEmpty()) {
            const Answer answer = m_Answers.takeFirst();
            if (answer.button != QMessageBox::NoButton)
                chosen = box->button(answer.button);
            for (QAbstractButton *button : buttons) {
                if (answer.button == QMessageBox::NoButton && plain(button->text()) == answer.text)
                    chosen = button;
            }
            missing = chosen == nullptr;
        }
        for (QMessageBox::StandardButton fallback : {QMessageBox::Cancel, QMessageBox::No, QMessageBox::Close, QMessageBox::Abort}) {
            if (!chosen)
                chosen = box->button(fallback);
        }
        if (!chosen && buttons.size() == 1)
            chosen = buttons.first();
        if (!chosen)
            chosen = box->defaultButton();
        if (!chosen && !buttons.isEmpty())
            chosen = buttons.first();

        if (chosen && !missing) {
            record.pressed = plain(chosen->text());
            record.pressedButton = box->standardButton(chosen);
        }
        m_Boxes.append(record);
        // Pressed from a fresh event, not from inside the polling timer: Qt does not fire a timer
        // again while its own slot runs, so whatever the press opens must find the timer free.
        QPointer<QAbstractButton> button(chosen);
        QTimer::singleShot(0, this, [target, button]() {
            if (button)
                button->click();
            else if (target)
                target->reject();
        });
    }

    bool handleDialog(QWidget *widget)
    {
        for (int i = 0; i < m_Handlers.size(); ++i) {
            const QByteArray &className = m_Handlers.at(i).className;
            if (className.isEmpty() ? widget->inherits("QWaiting") : !widget->inherits(className.constData()))
                continue;
            const Handler handler = m_Handlers.takeAt(i);
            markHandled(widget);
            Box record;
            record.className = QString::fromLatin1(widget->metaObject()->className());
            record.objectName = widget->objectName();
            record.title = widget->windowTitle();
            m_Boxes.append(record);
            QPointer<QWidget> target(widget);
            QTimer::singleShot(0, this, [this, target, handler]() {
                ++m_RunningHandlers;
                if (target)
                    handler.function(target);
                --m_RunningHandlers;
                m_Watched = nullptr; // the time in front counts from here
            });
            return true;
        }
        return false;
    }

    QTimer m_Timer;
    QList<Answer> m_Answers;
    QList<Handler> m_Handlers;
    QList<Box> m_Boxes;
    QList<QPointer<QWidget>> m_Handled;
    const int m_BaseLoopLevel;
    QPointer<QWidget> m_Watched;
    QElapsedTimer m_WatchedSince;
    int m_StuckMs = StuckMs;
    int m_RunningHandlers = 0;
    bool m_Failed = false;
};
