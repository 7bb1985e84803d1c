#include "support/TestWorkDir.h"
#include "widgets/QWaiting.h"

#include <QLabel>
#include <QWindow>
#include <QtTest>

class tst_QWaiting : public QObject
{
    Q_OBJECT

private slots:
    void userCannotCloseOwnerCan()
    {
        TestWorkDir dir(TestWorkDir::NoDatabase);
        QWidget owner;
        owner.show();
        auto *waiting = new QWaiting(&owner);
        waiting->setText(QStringLiteral("数据导出中，请稍等..."));
        QCOMPARE(waiting->findChild<QLabel *>(QStringLiteral("label_Text"))->text(),
                 QStringLiteral("数据导出中，请稍等..."));
        waiting->show();
        QVERIFY(QTest::qWaitForWindowExposed(waiting));
        QVERIFY(waiting->isModal());
        QCOMPARE(QApplication::activeModalWidget(), waiting);

        // The window system's close request (title-bar button, Alt+F4) is refused.
        QVERIFY(waiting->windowHandle());
        QVERIFY(!waiting->windowHandle()->close());
        QVERIFY(waiting->isVisible());

        // So is Escape, which would otherwise reject the dialog.
        QTest::keyClick(waiting, Qt::Key_Escape);
        QVERIFY(waiting->isVisible());

        // The owner hides it and shows it again, then closes it.
        waiting->hide();
        QVERIFY(!waiting->isVisible());
        waiting->show();
        QVERIFY(waiting->isVisible());
        QVERIFY(waiting->close());
        QVERIFY(!waiting->isVisible());
        delete waiting;
    }

    void animatesWhileShown()
    {
        TestWorkDir dir(TestWorkDir::NoDatabase);
        QWaiting waiting;
        auto *animation = waiting.findChild<QLabel *>(QStringLiteral("label_Animation"));
        QVERIFY(animation);
        const qint64 before = animation->pixmap(Qt::ReturnByValue).cacheKey();
        const int frame = waiting.frame();
        waiting.show();
        QTRY_VERIFY(waiting.frame() != frame);
        QVERIFY(animation->pixmap(Qt::ReturnByValue).cacheKey() != before);
        waiting.hide();
        const int stopped = waiting.frame();
        QTest::qWait(200);
        QCOMPARE(waiting.frame(), stopped);
    }
};

QTEST_MAIN(tst_QWaiting)
#include "tst_QWaiting.moc"
