#include "widgets/QWaiting.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

namespace {
const int wheelSize = 48;
const int spokes = 12;
const int frameMs = 80;
}

QWaiting::QWaiting(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("QWaiting"));
    setModal(true);
    setWindowTitle(tr("提示"));
    setStyleSheet(QStringLiteral("font: 14pt \"宋体\";"));

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(20, 15, 20, 15);
    layout->setSpacing(15);

    m_Animation = new QLabel(this);
    m_Animation->setObjectName(QStringLiteral("label_Animation"));
    m_Animation->setFixedSize(wheelSize, wheelSize);
    layout->addWidget(m_Animation);

    m_Text = new QLabel(tr("请稍等..."), this);
    m_Text->setObjectName(QStringLiteral("label_Text"));
    m_Text->setMinimumWidth(200);
    layout->addWidget(m_Text, 1);

    m_Timer = new QTimer(this);
    m_Timer->setInterval(frameMs);
    connect(m_Timer, SIGNAL(timeout()), this, SLOT(Timer_timeout()));
    drawFrame();
}

void QWaiting::setText(const QString &text)
{
    m_Text->setText(text);
}

QString QWaiting::text() const
{
    return m_Text->text();
}

void QWaiting::closeEvent(QCloseEvent *event)
{
    // A close request from the window system comes from the user; the owner closes through
    // close(), which sends a non-spontaneous event.
    if (event->spontaneous()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void QWaiting::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void QWaiting::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_Timer->start();
}

void QWaiting::hideEvent(QHideEvent *event)
{
    m_Timer->stop();
    QDialog::hideEvent(event);
}

void QWaiting::Timer_timeout()
{
    m_Frame = (m_Frame + 1) % spokes;
    drawFrame();
}

void QWaiting::drawFrame()
{
    QPixmap pixmap(wheelSize, wheelSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(wheelSize / 2.0, wheelSize / 2.0);
    for (int i = 0; i < spokes; ++i) {
        // The spoke of the current frame is darkest; the ones behind it fade out.
        const int age = (m_Frame - i + spokes) % spokes;
        QColor colour(30, 100, 200);
        colour.setAlphaF(1.0 - age / double(spokes));
        painter.save();
        painter.rotate(i * 360.0 / spokes);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawRoundedRect(QRectF(-2.5, -wheelSize / 2.0 + 2, 5, wheelSize / 4.0), 2.5, 2.5);
        painter.restore();
    }
    painter.end();
    m_Animation->setPixmap(pixmap);
}
