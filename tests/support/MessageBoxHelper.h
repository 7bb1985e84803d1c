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
//  - a QMessageBox is recorded (title, text, buttons) and answered with the next queued
//    press(); without one, the least committal button is pressed: Cancel, No, Close or Abort
//    when present, else the only/default/first button. Every box is answered, so a test
//    never hangs on an unexpected box; check boxes() afterwards.
//  - any other modal widget (a QDialog) is recorded and given to the next queued dialog
//    handler whose class matches; without a matching handler it is left alone (so a shown
//    QWaiting stays as it is). A handler may fill fields and accept() or reject(); it may also
//    click something that opens a message box, which the helper then answers in turn.
//
// Example:
//   MessageBoxHelper boxes;
//   boxes.press(QMessageBox::Yes);        // for the first box
//   boxes.press(QMessageBox::Ok);         // for the second
//   window.close();                       // runs QMessageBox::question(...) inside
//   QCOMPARE(boxes.count(), 1);
//   QCOMPARE(boxes.last().text, QString("确认退出程序?"));
//   QCOMPARE(boxes.last().pressed, QString("Yes"));
//
//   boxes.onDialog([](QWidget *w) { w->findChild<QLineEdit *>("lineEdit_Name")->setText("x");
//                                   qobject_cast<QDialog *>(w)->accept(); }, "ParametersMode");
//   boxes.rejectDialog("ParametersChannel");
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
    ~MessageBoxHelper() override;

    // Queue the answer of the next message box: a standard button, or a button by its text
    // (compared without '&'). A missing button is recorded as pressed == "" and the box is
    // answered as if nothing had been queued.
    void press(QMessageBox::StandardButton button);
    void press(const QString &buttonText);
    // Queue a key press (for example Qt::Key_Return) on the next message box instead of a click.
    void pressKey(int key);

    // Queue a handler for the next modal non-message-box widget that inherits className
    // (any class except QWaiting when className is null).
    void onDialog(const std::function<void(QWidget *)> &handler, const char *className = nullptr);
    void acceptDialog(const char *className = nullptr);
    void rejectDialog(const char *className = nullptr);

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

    void answerMessageBox(QMessageBox *box);
    bool handleDialog(QWidget *widget);
    bool isHandled(QWidget *widget);
    void markHandled(QWidget *widget);
    bool eventFilter(QObject *watched, QEvent *event) override;

    QTimer m_Timer;
    QList<Answer> m_Answers;
    QList<Handler> m_Handlers;
    QList<Box> m_Boxes;
    QList<QPointer<QWidget>> m_Handled;
};
