#include "acquisition/ParametersImport.h"
#include "acquisition/ParametersMode.h"
#include "common/Struct_System.h"
#include "store/Tool.h"
#include "support/MessageBoxHelper.h"
#include "support/TestWorkDir.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

namespace {

// The first fenced code block after the marker comment "<!-- readme-example: <name> -->".
QString readmeExample(const QString &readme, const QString &name)
{
    const QString marker = QStringLiteral("<!-- readme-example: %1 -->").arg(name);
    const int at = readme.indexOf(marker);
    if (at < 0)
        return QString();
    const int open = readme.indexOf(QStringLiteral("```"), at);
    const int start = readme.indexOf(QLatin1Char('\n'), open) + 1;
    const int end = readme.indexOf(QStringLiteral("\n```"), start);
    return open < 0 || start <= 0 || end < 0 ? QString() : readme.mid(start, end - start + 1);
}

} // namespace

class tst_ReadmeImport : public QObject
{
    Q_OBJECT

private slots:
    void firstImport_data()
    {
        QTest::addColumn<bool>("started");
        QTest::newRow("fresh installation") << false;
        QTest::newRow("after a first start") << true;
    }

    // The README's road for a new user, as written: its command registers an instrument of an
    // import model in run/DAQ.db3 (before or after the program made the database), the set-up
    // offers it in import mode, and its example record file imports sample by sample.
    void firstImport()
    {
        QFETCH(bool, started);
        QFile file(TestWorkDir::sourceDir() + QStringLiteral("/README.md"));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        const QString readme = QString::fromUtf8(file.readAll());
        const QString command = readmeExample(readme, QStringLiteral("register")).trimmed();
        const QString example = readmeExample(readme, QStringLiteral("record-file"));
        QVERIFY(!command.isEmpty() && !example.isEmpty());

        TestWorkDir dir(TestWorkDir::NoDatabase);
        QVERIFY(dir.isValid());
        if (started) { // the program's own tables, then closed
            QVERIFY(QDir().mkpath(QStringLiteral("run")));
            QVERIFY(Tool::openDatabase(QStringLiteral("run/DAQ.db3")));
            Tool::closeDatabase();
        }
        QProcess shell;
        shell.setWorkingDirectory(dir.path());
        shell.start(QStringLiteral("bash"), {QStringLiteral("-ec"), command});
        QVERIFY(shell.waitForFinished(30000));
        QVERIFY2(shell.exitStatus() == QProcess::NormalExit && shell.exitCode() == 0,
                 qPrintable(command + '\n' + shell.readAllStandardError()));

        // The program works in run/, where the user saves the example file.
        QVERIFY(QDir::setCurrent(dir.filePath(QStringLiteral("run"))));
        QFile csv(QStringLiteral("oven.csv"));
        QVERIFY(csv.open(QIODevice::WriteOnly) && csv.write(example.toUtf8()) == example.toUtf8().size());
        csv.close();
        QVERIFY(Tool::openDatabase(QStringLiteral("DAQ.db3")));
        Struct_System system;
        QVERIFY(Tool::getCollection(system.DeviceList));

        MessageBoxHelper boxes;
        ParametersMode mode;
        mode.setParameters(&system);
        mode.findChild<QComboBox *>(QStringLiteral("comboBox_Mode"))->setCurrentIndex(1);
        auto *device = mode.findChild<QComboBox *>(QStringLiteral("comboBox_Device1"));
        QCOMPARE(device->count(), 1);
        mode.findChild<QLineEdit *>(QStringLiteral("lineEdit_Name1"))->setText(QStringLiteral("Oven"));
        mode.findChild<QPushButton *>(QStringLiteral("pushButton_OK"))->click();
        QCOMPARE(boxes.texts(), QStringList());
        QCOMPARE(system.ModeKey + ' ' + system.ProjectDevices.value(0).Model, ParametersMode::ModeImport + " P540W");

        ParametersImport::setFileChooser([](QWidget *) { return QDir::current().absoluteFilePath(QStringLiteral("oven.csv")); });
        ParametersImport import;
        import.setParameters(&system);
        import.findChild<QPushButton *>(QStringLiteral("pushButton_Open"))->click();
        QVERIFY(boxes.waitFor(1, 20000));
        import.findChild<QPushButton *>(QStringLiteral("pushButton_Save"))->click();
        ParametersImport::setFileChooser(nullptr);
        QCOMPARE(boxes.texts(), QStringList({"数据读取成功！", "数据保存成功！"}));

        // The stored project: the file's channels and units, and each line's time and values.
        Tool::Struct_Parameters project;
        QVERIFY(Tool::getParameters(project, QStringLiteral("Oven")));
        QStringList header{QStringLiteral("Time")};
        for (int k = 0; k < project.CHName.size(); ++k)
            header << project.CHName.at(k) + '(' + project.CHUnit.value(k) + ')';
        QStringList stored{header.join(',')};
        QList<Tool::Struct_ParametersData> rows;
        QVERIFY(Tool::getParametersData(rows, QStringLiteral("Oven")));
        for (const Tool::Struct_ParametersData &row : qAsConst(rows)) {
            QStringList values;
            for (const QString &value : row.Data)
                values << QString::number(value.toDouble(), 'f', 3);
            stored << row.Time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")) + ',' + values.join(',');
        }
        QCOMPARE(stored, example.trimmed().split('\n'));
        QVERIFY(stored.size() >= 3);
    }
};

QTEST_MAIN(tst_ReadmeImport)
#include "tst_ReadmeImport.moc"
