// Every window fits a 1024 x 768 screen in both languages: the main window with each of its
// pages, and each dialog, asks for no more than that screen's available area (less a margin for
// the window frame, which the offscreen platform does not draw), so every control can be reached.
#include "acquisition/ParametersChannel.h"
#include "acquisition/ParametersImport.h"
#include "acquisition/ParametersMode.h"
#include "acquisition/ParametersOnLine.h"
#include "calibration/Calibration.h"
#include "calibration/CalibrationChannel.h"
#include "calibration/CalibrationScan.h"
#include "calibration/CalibrationWork.h"
#include "common/Struct_ParametersChannel.h"
#include "common/Struct_System.h"
#include "reports/VerificationMerge.h"
#include "reports/VerificationReport.h"
#include "reports/VerificationReportData.h"
#include "reports/Struct_Export.h"
#include "reports/VerificationReportExport.h"
#include "shell/HKRQ5713.h"
#include "store/SystemSetKeys.h"
#include "support/MessageBoxHelper.h"
#include "support/TestWorkDir.h"
#include "widgets/QWaiting.h"

#include <QtTest>

#include <functional>
#include <memory>

namespace {

// The available area of a 1024 x 768 screen less room for a title bar, borders and a panel.
const QSize kRoom(1024 - 24, 768 - 48);

QSize demanded(QWidget &window)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    return window.minimumSizeHint().expandedTo(window.minimumSize());
}

} // namespace

class tst_MinimumSizes : public QObject
{
    Q_OBJECT

    // name: the size it demands, for each window too large.
    QStringList m_TooLarge;

    void measure(const QString &name, QWidget &window)
    {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QSize size = demanded(window);
        if (size.width() > kRoom.width() || size.height() > kRoom.height())
            m_TooLarge << QStringLiteral("%1 %2x%3").arg(name).arg(size.width()).arg(size.height());
        window.hide();
    }

    template <class Dialog> void measureDialog(const QString &name, const std::function<void(Dialog &)> &setUp = {})
    {
        Dialog dialog;
        if (setUp)
            setUp(dialog);
        measure(name, dialog);
    }

private slots:
    void initTestCase() { HKRQ5713::setSplashDelay(0); }

    void everyWindowFitsTheScreen_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("Chinese") << QStringLiteral("中文");
        QTest::newRow("English") << QStringLiteral("English");
    }

    void everyWindowFitsTheScreen()
    {
        QFETCH(QString, language);
        TestWorkDir dir;
        QVERIFY2(dir.copyFromBuild("DAQ_en.qm") && dir.copyFromBuild("DAQ_zh.qm"), "build folder holds the catalogues");
        QVERIFY(Tool::setSystemSet(SystemSetKeys::SystemLanguage, language));
        MessageBoxHelper boxes;
        m_TooLarge.clear();

        HKRQ5713 window;
        QVERIFY(window.isReady());
        QCOMPARE(QFileInfo(window.translationFile()).fileName(),
                 language == QStringLiteral("English") ? QStringLiteral("DAQ_en.qm") : QStringLiteral("DAQ_zh.qm"));
        const QList<QPair<int, QString>> pages{{HKRQ5713::Page_None, QStringLiteral("no page")},
                                               {HKRQ5713::Page_Calibration, QStringLiteral("calibration page")},
                                               {HKRQ5713::Page_Report, QStringLiteral("report page")}};
        for (const auto &page : pages) {
            window.SwitchPage(page.first);
            measure(QStringLiteral("main window with ") + page.second, window);
        }

        // A run of two projects over eight channels of two instruments, in two units.
        Struct_System system;
        system.ProjectNames = QStringList{QStringLiteral("P1"), QStringLiteral("P2")};
        for (int d = 0; d < 2; ++d) {
            Tool::Struct_Collection device;
            device.Model = QStringLiteral("NO-DRIVER");
            device.Serial = QStringLiteral("SN-%1").arg(d);
            for (int number = 1; number <= 4; ++number) {
                device.CHSerial.append(QString::number(number));
                device.CHUnit.append(number % 2 ? QStringLiteral("℃") : QStringLiteral("%RH"));
                Struct_ParametersChannel row;
                row.DeviceIndex = d;
                row.ProjectIndex = number > 2 ? 1 : 0;
                row.Channel = QString::number(number);
                row.Type = row.Function = row.Wire = QStringLiteral("Auto");
                row.Unit = row.DisplayUnit = device.CHUnit.last();
                system.ParametersChannels.append(row);
            }
            system.ProjectDevices.append(device);
            system.DeviceList.append(device);
        }
        system.StartTime = QStringLiteral("2026-01-01 00:00:00");
        system.EndTime = QStringLiteral("2026-01-01 01:00:00");
        system.Interval = 0; // refused at once: the pages are built, nothing runs

        measureDialog<ParametersMode>("ParametersMode", [&](ParametersMode &d) { d.setParameters(&system); });
        measureDialog<ParametersChannel>("ParametersChannel", [&](ParametersChannel &d) { d.SetTable(&system); });
        measureDialog<ParametersImport>("ParametersImport", [&](ParametersImport &d) { d.setParameters(&system); });
        measureDialog<ParametersOnLine>("ParametersOnLine", [&](ParametersOnLine &d) { d.start(&system); });
        measureDialog<CalibrationScan>("CalibrationScan");
        measureDialog<CalibrationChannel>("CalibrationChannel");
        measureDialog<CalibrationWork>("CalibrationWork");
        measureDialog<VerificationMerge>("VerificationMerge");
        measureDialog<VerificationReportData>("VerificationReportData");
        // Both unit groups shown, six segments.
        Struct_Export options;
        options.ScanInterval = QStringLiteral("1");
        options.Unit1 = QStringLiteral("℃");
        options.Unit2 = QStringLiteral("%RH");
        options.Count1 = options.Count2 = 4;
        options.UnitCount = 2;
        options.Segments = QString::number(VerificationReportExport::MaxSegments);
        options.StartTime = QDateTime(QDate(2026, 1, 1), QTime(0, 0));
        options.EndTime = options.StartTime.addDays(1);
        measureDialog<VerificationReportExport>("VerificationReportExport",
                                                [&](VerificationReportExport &d) { d.SetParameters(&options); });
        measureDialog<QWaiting>("QWaiting");

        QVERIFY2(m_TooLarge.isEmpty(), qPrintable(m_TooLarge.join(QStringLiteral("; "))));
    }
};

QTEST_MAIN(tst_MinimumSizes)
#include "tst_MinimumSizes.moc"
