#include "calibration/CoefficientIni.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using Record = Tool::Struct_CalibrationData;

namespace {

QList<Record> threeChannels()
{
    QList<Record> records;
    for (int ch = 1; ch <= 3; ++ch) {
        Record r;
        r.Name = "2024-05-06 07:08:09";
        r.Number = QString::number(ch);
        r.Range = "ITS90";
        r.Offset_M = "2";
        r.Offset_B = "5";
        const QString n = QString::number(ch);
        r.A = "-1.2000000" + n + "E-04";
        r.B = "2.0000000" + n + "E-05";
        r.C = "0";
        r.D = "0";
        r.R0 = "2.5500000" + n + "E+01";
        r.A4 = "-1.3000000" + n + "E-04";
        r.B4 = "1.5000000" + n + "E-05";
        records.append(r);
    }
    records[2].A = "a-not-fitted"; // a channel whose fit was skipped keeps its texts
    return records;
}

QStringList column(const QList<Record> &records, QString Record::*field)
{
    QStringList out;
    for (const Record &r : records)
        out.append(r.*field);
    return out;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class tst_CoefficientIni : public QObject {
    Q_OBJECT
private slots:
    void writesOneEntryPerChannel();
    void keepsOtherContentOfAnExistingFile();
    void reportsAFileThatCannotBeWritten();
    void fileNameGetsSuffix_data();
    void fileNameGetsSuffix();
};

void tst_CoefficientIni::writesOneEntryPerChannel()
{
    QTemporaryDir dir;
    const QList<Record> records = threeChannels();
    QVERIFY(CoefficientIni::write(records, dir.filePath("coefficients")));
    const QString path = dir.filePath("coefficients.ini");

    const QByteArray text = readAll(path);
    QVERIFY(text.startsWith("[Standardizer]"));
    QVERIFY(text.contains("\nMx_B_M=1, 1, 1\n"));
    QVERIFY(text.contains("\nMx_B_B=0, 0, 0\n"));
    QVERIFY(!text.contains("Offset") && !text.contains("ITS90"));

    QSettings ini(path, QSettings::IniFormat);
    ini.setIniCodec("UTF-8");
    ini.beginGroup("Standardizer");
    QCOMPARE(ini.childKeys().size(), 10);
    const QList<QPair<QString, QString Record::*>> keys{
        {"A_C0", &Record::A}, {"B_C1", &Record::B}, {"C_C2", &Record::C}, {"D_C3", &Record::D},
        {"R0_C4", &Record::R0}, {"A4_C5", &Record::A4}, {"B4_C6", &Record::B4}, {"Name", &Record::Name}};
    for (const auto &[key, field] : keys)
        QCOMPARE(ini.value(key).toStringList(), column(records, field));
    ini.endGroup();
    // The channel dialogs spell the correction keys with an upper-case X.
    QCOMPARE(CoefficientIni::value(ini, "/Standardizer/MX_B_M").toStringList(), QStringList({"1", "1", "1"}));
    QCOMPARE(CoefficientIni::value(ini, "standardizer/mx_b_b").toStringList(), QStringList({"0", "0", "0"}));
    QVERIFY(!CoefficientIni::value(ini, "/Standardizer/Missing").isValid());
}

void tst_CoefficientIni::keepsOtherContentOfAnExistingFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("channels.ini");
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Device]\nModel=QN 2000\n\n[Standardizer]\nA_C0=old\nMX_B_M=7\nNote=kept\n");
    }
    QVERIFY(CoefficientIni::write(threeChannels(), path));

    QSettings ini(path, QSettings::IniFormat);
    QCOMPARE(ini.value("Device/Model").toString(), QString("QN 2000"));
    QCOMPARE(ini.value("Standardizer/Note").toString(), QString("kept"));
    QCOMPARE(ini.value("Standardizer/A_C0").toStringList(), column(threeChannels(), &Record::A));
    // The old value under the other spelling is replaced, not left beside the new one.
    QVERIFY(!ini.contains("Standardizer/MX_B_M"));
    QCOMPARE(CoefficientIni::value(ini, "Standardizer/MX_B_M").toStringList(), QStringList({"1", "1", "1"}));
}

void tst_CoefficientIni::reportsAFileThatCannotBeWritten()
{
    QTemporaryDir dir;
    for (int failed = 0; failed < 3; ++failed)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^coefficient file"));
    QVERIFY(QDir(dir.path()).mkdir("taken.ini"));
    QVERIFY(!CoefficientIni::write(threeChannels(), dir.filePath("taken.ini")));
    // Readable as an empty file, but no file can be made there (not even by root).
    QVERIFY(!CoefficientIni::write(threeChannels(), "/proc/coefficients.ini"));
    QVERIFY(!CoefficientIni::write({}, dir.filePath("empty.ini")));
    // A file that cannot be read as INI is left as it is rather than rewritten in part.
    const QString broken = dir.filePath("broken.ini");
    const QByteArray content = "[Device\nModel=QN 2000\n";
    {
        QFile f(broken);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    QVERIFY(!CoefficientIni::write(threeChannels(), broken));
    QCOMPARE(readAll(broken), content);
    QVERIFY(!QFile::exists(dir.filePath("empty.ini")));
}

void tst_CoefficientIni::fileNameGetsSuffix_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("bare") << "/data/pt100" << "/data/pt100.ini";
    QTest::newRow("ini") << "/data/pt100.ini" << "/data/pt100.ini";
    QTest::newRow("other suffix") << "/data/pt100.cfg" << "/data/pt100.cfg";
    QTest::newRow("dotted folder") << "/data/run.2024/pt100" << "/data/run.2024/pt100.ini";
}

void tst_CoefficientIni::fileNameGetsSuffix()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QCOMPARE(CoefficientIni::iniFileName(typed), written);
}

QTEST_APPLESS_MAIN(tst_CoefficientIni)
#include "tst_CoefficientIni.moc"
