#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTest>
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

    explicit MessageBoxHelper(QObject *parent = nullptr) : QObject(parent)
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
    void clear() { m_Boxes.clear(); }

    // Processes events until count() >= n; false on timeout.
    bool waitFor(int n, int timeoutMs = 5000)
    {
        return QTest::qWaitFor([&]() { return m_Boxes.size() >= n; }, timeoutMs);
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
        if (!modal || !modal->isVisible() || m_Handled.contains(modal))
            return;
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            markHandled(modal);
            answerMessageBox(box);
        } else {
            handleDialog(modal);
        }
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
            QTimer::singleShot(0, this, [target, handler]() {
                if (target)
                    handler.function(target);
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
};
