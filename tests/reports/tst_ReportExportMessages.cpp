// What the report page says when an export cannot write its file: the data export and the report
// of each format, into a folder that is a file (refused even to root), onto a full disk and over
// an immutable file. The box keeps its text and names the path and the system's reason on a
// second line; the earlier file stays as it was.
#include "ReportTestHelpers.h"

#include "common/Struct_System.h"
#include "reports/VerificationReport.h"
#include "reports/VerificationReportExport.h"
#include "support/MessageBoxHelper.h"
#include "support/SmallTmpfs.h"
#include "support/TestWorkDir.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

using namespace ReportFixture;

class tst_ReportExportMessages : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestWorkDir> m_dir;
    std::unique_ptr<MessageBoxHelper> m_boxes;
    Struct_System m_system;
    std::unique_ptr<VerificationReport> m_page;
    QString m_path;

    // Project "P" of two channels and three samples, checked and loaded on a new page; the save
    // dialog answers m_path.
    void loadProject()
    {
        QVERIFY(storeProject(testProject("P", {"℃", "℃"}), {"1,2", "3,4", "5,6"}));
        m_page.reset(new VerificationReport);
        m_page->SetSystem(&m_system);
        auto *tree = m_page->findChild<QTreeWidget *>("treeWidget");
        QVERIFY(tree && tree->topLevelItemCount() == 1);
        tree->topLevelItem(0)->setCheckState(0, Qt::Checked);
        m_page->LoadProject();
        VerificationReportExport::setFileChooser([this](QWidget *, const QString &) { return m_path; });
    }

    // Runs one export ("data", "report.xls" or "report.pdf") to m_path; the page's messages once it ended.
    QStringList exportTo(const QString &kind)
    {
        m_boxes->clear();
        if (kind == QLatin1String("data")) {
            m_page->Menu()->actions().at(2)->trigger();
        } else {
            const bool pdf = kind.endsWith(QLatin1String(".pdf"));
            m_boxes->onDialog([pdf](QWidget *dialog) {
                dialog->findChild<QComboBox *>("comboBox_Format")->setCurrentIndex(pdf ? 0 : 1);
                dialog->findChild<QPushButton *>("pushButton_Route")->click();
                dialog->findChild<QLineEdit *>("lineEdit_Remark1")->setText("升温");
                dialog->findChild<QPushButton *>("pushButton_OK")->click();
            }, "VerificationReportExport");
            m_page->TimeOut_clicked();
        }
        const bool ended = QTest::qWaitFor([this] { return !m_boxes->texts().isEmpty() && !m_page->isExporting(); }, 60000);
        return ended ? m_boxes->texts() : QStringList();
    }

    // The failure box: its text, then the path and the reason on the second line.
    static QStringList failure(const QString &path, const QString &reason)
    {
        return {QStringLiteral("数据异常，生成报表失败!\n%1: %2").arg(QDir::toNativeSeparators(path), reason)};
    }

private slots:
    void init()
    {
        m_dir.reset(new TestWorkDir);
        QVERIFY(m_dir->isValid());
        m_boxes.reset(new MessageBoxHelper);
        m_system = Struct_System();
    }

    void cleanup()
    {
        m_page.reset();
        VerificationReportExport::setFileChooser(nullptr);
        m_boxes.reset();
        m_dir.reset();
    }

    void fileFailuresNameThePathAndTheReason_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("data export") << "data";
        QTest::newRow("workbook report") << "report.xls";
        QTest::newRow("PDF report") << "report.pdf";
    }

    void fileFailuresNameThePathAndTheReason()
    {
        QFETCH(QString, kind);
        loadProject();
        const QString file = kind == QLatin1String("data") ? QStringLiteral("data.xls") : kind;

        // A folder that is a file.
        QVERIFY(writeFile(m_dir->filePath("a file"), "not a folder"));
        m_path = m_dir->filePath("a file/" + file);
        QCOMPARE(exportTo(kind), failure(m_path, "Not a directory"));

        // A disk full before the export starts.
        {
            SmallTmpfs disk(256 * 1024);
            if (disk.isMounted()) {
                m_path = disk.filePath(file);
                QVERIFY(writeFile(m_path, "an earlier report") && disk.fill());
                QCOMPARE(exportTo(kind), failure(m_path, "No space left on device"));
                QVERIFY(readsFile(m_path, "an earlier report"));
            } else {
                qWarning("no tmpfs could be mounted: the full disk is left out");
            }
        }

        // An immutable file, where the file system can mark one.
        m_path = m_dir->filePath(file);
        QVERIFY(writeFile(m_path, "an earlier report"));
        if (QProcess::execute("chattr", {"+i", m_path}) == 0) {
            const QStringList shown = exportTo(kind);
            QProcess::execute("chattr", {"-i", m_path});
            // The PDF's file refuses to open on it; the workbook's finished file cannot replace it.
            QCOMPARE(shown, failure(m_path, kind.endsWith(".pdf") ? QStringLiteral("Existing file %1 is not writable").arg(m_path)
                                                                  : QStringLiteral("Operation not permitted")));
            QVERIFY(readsFile(m_path, "an earlier report"));
        } else {
            qWarning("this file system marks no file immutable: that case is left out");
        }

        // The same export where it can write succeeds.
        m_path = m_dir->filePath("written/" + file);
        QVERIFY(QDir(m_dir->path()).mkdir("written"));
        QCOMPARE(exportTo(kind), QStringList{"报表生成成功!"});
        QVERIFY(QFileInfo(m_path).size() > 0);
    }
};

QTEST_MAIN(tst_ReportExportMessages)
#include "tst_ReportExportMessages.moc"
