#include "MessageBoxHelper.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTest>

namespace {
QString plain(QString text)
{
    return text.remove(QLatin1Char('&'));
}
}

MessageBoxHelper::MessageBoxHelper(QObject *parent)
    : QObject(parent)
{
    m_Timer.setInterval(10);
    connect(&m_Timer, SIGNAL(timeout()), this, SLOT(poll()));
    m_Timer.start();
}

void MessageBoxHelper::press(const QString &buttonText)
{
    m_Answers.append({QMessageBox::NoButton, plain(buttonText)});
}

void MessageBoxHelper::closeDialog(const char *className, bool accept)
{
    onDialog([accept](QWidget *w) {
        if (auto *dialog = qobject_cast<QDialog *>(w))
            accept ? dialog->accept() : dialog->reject();
    }, className);
}

QStringList MessageBoxHelper::texts() const
{
    QStringList list;
    for (const Box &box : m_Boxes) {
        if (box.isMessageBox)
            list << box.text;
    }
    return list;
}

bool MessageBoxHelper::waitFor(int n, int timeoutMs)
{
    return QTest::qWaitFor([&]() { return m_Boxes.size() >= n; }, timeoutMs);
}

void MessageBoxHelper::markHandled(QWidget *widget)
{
    m_Handled.append(widget);
    widget->installEventFilter(this);
}

bool MessageBoxHelper::eventFilter(QObject *watched, QEvent *event)
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

void MessageBoxHelper::poll()
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

void MessageBoxHelper::answerMessageBox(QMessageBox *box)
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

bool MessageBoxHelper::handleDialog(QWidget *widget)
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
