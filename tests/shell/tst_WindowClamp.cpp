#include "acquisition/ParametersChannel.h"
#include "acquisition/ParametersImport.h"
#include "acquisition/ParametersOnLine.h"
#include "shell/HKRQ5713.h"
#include "shell/WindowClamp.h"
#include "support/TestWorkDir.h"

#include <QScreen>
#include <QtTest>

#include <functional>
#include <memory>

using MakeWindow = std::function<QWidget *()>;
Q_DECLARE_METATYPE(MakeWindow)

// Windows larger than the screen shrink to its available area when shown; those that fit keep
// their size.
class tst_WindowClamp : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        HKRQ5713::setSplashDelay(0);
        WindowClamp::install();
    }

    // size: the window's size once shown; -1 where the window with its frame fills the area.
    void windowsFitTheScreen_data()
    {
        QTest::addColumn<MakeWindow>("make");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QSize>("size");
        const QRect xga(0, 0, 1024, 768);
        QTest::newRow("main window") << MakeWindow([] { return new HKRQ5713; }) << xga << QSize(-1, -1);
        QTest::newRow("channel table") << MakeWindow([] { return new ParametersChannel; }) << xga << QSize(-1, 600);
        QTest::newRow("import") << MakeWindow([] { return new ParametersImport; }) << xga << QSize(-1, 700);
        QTest::newRow("run") << MakeWindow([] { return new ParametersOnLine; }) << xga << QSize(-1, -1);
        QTest::newRow("fits") << MakeWindow([] { auto *d = new QDialog; d->resize(700, 500); return d; }) << xga
                              << QSize(700, 500);
        // The offscreen platform's own screen (800 x 600).
        QTest::newRow("real screen") << MakeWindow([] { return new HKRQ5713; }) << QRect() << QSize(-1, -1);
    }

    void windowsFitTheScreen()
    {
        QFETCH(MakeWindow, make);
        QFETCH(QRect, area);
        QFETCH(QSize, size);
        TestWorkDir dir;
        WindowClamp::setAvailableArea(area);
        const QSize room = area.isNull() ? QGuiApplication::primaryScreen()->availableSize() : area.size();
        std::unique_ptr<QWidget> window(make());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        WindowClamp::setAvailableArea(QRect());
        const QSize outer = window->frameGeometry().size();
        QCOMPARE(QSize(size.width() < 0 ? outer.width() : window->width(), size.height() < 0 ? outer.height() : window->height()),
                 QSize(size.width() < 0 ? room.width() : size.width(), size.height() < 0 ? room.height() : size.height()));
    }
};

QTEST_MAIN(tst_WindowClamp)
#include "tst_WindowClamp.moc"
