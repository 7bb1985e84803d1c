#include "support/TestWorkDir.h"
#include "widgets/QWaiting.h"

#include <QLabel>
#include <QTimer>
#include <QWindow>
#include <QtTest>

class tst_QWaiting : public QObject
{
    Q_OBJECT

private slots:
    // A modal box the user cannot close (the window system's close request, Escape) that the owner
    // hides, shows and closes; it animates while shown and stops when hidden.
    void userCannotCloseOwnerCan()
    {
        TestWorkDir dir(TestWorkDir::NoDatabase);
        QWidget owner;
        owner.show();
        auto *waiting = new QWaiting(&owner);
        waiting->setText(QStringLiteral("数据导出中，请稍等..."));
        QCOMPARE(waiting->findChild<QLabel *>(QStringLiteral("label_Text"))->text(), QStringLiteral("数据导出中，请稍等..."));
        auto *animation = waiting->findChild<QLabel *>(QStringLiteral("label_Animation"));
        const qint64 before = animation->pixmap(Qt::ReturnByValue).cacheKey();
        const int frame = waiting->frame();
        waiting->show();
        QVERIFY(QTest::qWaitForWindowExposed(waiting));
        QVERIFY(waiting->isModal() && QApplication::activeModalWidget() == waiting);
        QTRY_VERIFY(waiting->frame() != frame);
        QVERIFY(animation->pixmap(Qt::ReturnByValue).cacheKey() != before);

        QVERIFY(waiting->windowHandle() && !waiting->windowHandle()->close());
        QTest::keyClick(waiting, Qt::Key_Escape);
        QVERIFY(waiting->isVisible());
        waiting->hide();
        QVERIFY(!waiting->isVisible() && !waiting->findChild<QTimer *>()->isActive());
        waiting->show();
        QVERIFY(waiting->isVisible() && waiting->close() && !waiting->isVisible());
        delete waiting;
    }
};

QTEST_MAIN(tst_QWaiting)
#include "tst_QWaiting.moc"
