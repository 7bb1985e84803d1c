#pragma once

#include <QDialog>

class QLabel;
class QTimer;

// Modal busy dialog: a turning wheel beside a message. The owner shows it while a worker runs
// and hides, closes or deletes it afterwards; close requests of the user (window close button,
// Escape) are ignored.
class QWaiting : public QDialog
{
    Q_OBJECT
public:
    explicit QWaiting(QWidget *parent = nullptr);

    void setText(const QString &text);
    QString text() const;
    int frame() const { return m_Frame; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private slots:
    void Timer_timeout();

private:
    void drawFrame();

    QLabel *m_Animation = nullptr;
    QLabel *m_Text = nullptr;
    QTimer *m_Timer = nullptr;
    int m_Frame = 0;
};
