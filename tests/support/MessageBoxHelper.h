#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QStringList>
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

    explicit MessageBoxHelper(QObject *parent = nullptr);

    // Queue the answer of the next message box: a standard button, a button by its text (without
    // '&'; a missing one is recorded as pressed == "" and the box answered as if nothing had been
    // queued), or a key press (for example Qt::Key_Return) instead of a click.
    void press(QMessageBox::StandardButton button) { m_Answers.append({button, QString()}); }
    void press(const QString &buttonText);
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
    QStringList texts() const;                    // the text of every message box met
    int pendingAnswers() const { return m_Answers.size() + m_Handlers.size(); }
    void clear() { m_Boxes.clear(); }

    // Processes events until count() >= n; false on timeout.
    bool waitFor(int n, int timeoutMs = 5000);

private slots:
    void poll();

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

    void closeDialog(const char *className, bool accept);
    void answerMessageBox(QMessageBox *box);
    bool handleDialog(QWidget *widget);
    void markHandled(QWidget *widget);
    bool eventFilter(QObject *watched, QEvent *event) override;

    QTimer m_Timer;
    QList<Answer> m_Answers;
    QList<Handler> m_Handlers;
    QList<Box> m_Boxes;
    QList<QPointer<QWidget>> m_Handled;
};
