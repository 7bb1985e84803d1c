#include "calibration/CoefficientIni.h"
#include "support/FifoWithDeadline.h"
#include "support/SmallTmpfs.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using Record = Tool::Struct_CalibrationData;

namespace {

// Three channels of one run; the third one's fit was skipped, so its A is what it was created with.
QList<Record> threeChannels()
{
    QList<Record> records;
    for (const QString n : {"1", "2", "3"})
        records.append({"2024-05-06 07:08:09", n, "PT", "ITS90", "4", "-1.2000000" + n + "E-04", "2.0000000" + n + "E-05", "0", "0",
                        "2.5500000" + n + "E+01", "-1.3000000" + n + "E-04", "1.5000000" + n + "E-05", "2", "5", "", "", {}, {}});
    records[2].A = "a-not-fitted";
    return records;
}

QStringList entries(QString Record::*field)
{
    QStringList out;
    for (const Record &r : threeChannels())
        out.append(r.*field);
    return out;
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool put(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

class tst_CoefficientIni : public QObject
{
    Q_OBJECT
private slots:
    // One entry per channel under each key, ".ini" added to a name without suffix; the keys are
    // found whatever their spelling.
    void writesOneEntryPerChannel()
    {
        QTemporaryDir dir;
        QVERIFY(CoefficientIni::write(threeChannels(), dir.filePath("coefficients")));
        const QString path = dir.filePath("coefficients.ini");
        QCOMPARE(CoefficientIni::iniFileName("/data/run.2024/pt100.cfg"), QString("/data/run.2024/pt100.cfg"));
        const QByteArray text = contents(path);
        QVERIFY(text.startsWith("[Standardizer]\n") && text.contains("\nMx_B_M=1, 1, 1\n") && text.contains("\nMx_B_B=0, 0, 0\n"));

        QSettings ini(path, QSettings::IniFormat);
        ini.setIniCodec("UTF-8");
        const QList<QPair<QString, QString Record::*>> keys{
            {"A_C0", &Record::A}, {"B_C1", &Record::B}, {"C_C2", &Record::C}, {"D_C3", &Record::D},
            {"R0_C4", &Record::R0}, {"A4_C5", &Record::A4}, {"B4_C6", &Record::B4}, {"Name", &Record::Name}};
        for (const auto &[key, field] : keys)
            QCOMPARE(ini.value("Standardizer/" + key).toStringList(), entries(field));
        // The channel dialogs spell the correction keys with an upper-case X.
        QCOMPARE(CoefficientIni::value(ini, "/Standardizer/MX_B_M").toStringList() + CoefficientIni::value(ini, "standardizer/mx_b_b").toStringList(),
                 QStringList({"1", "1", "1", "0", "0", "0"}));
        QVERIFY(!CoefficientIni::value(ini, "/Standardizer/Missing").isValid());
    }

    // Other groups and keys stay; the old value under another spelling is replaced, not left
    // beside the new one.
    void keepsOtherContentOfAnExistingFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("channels.ini");
        QVERIFY(put(path, "[Device]\nModel=QN 2000\n\n[Standardizer]\nA_C0=old\nMX_B_M=7\nNote=kept\n"));
        QVERIFY(CoefficientIni::write(threeChannels(), path));
        QSettings ini(path, QSettings::IniFormat);
        QCOMPARE(ini.value("Device/Model").toString() + "|" + ini.value("Standardizer/Note").toString(), QString("QN 2000|kept"));
        QCOMPARE(ini.value("Standardizer/A_C0").toStringList(), entries(&Record::A));
        QVERIFY(!ini.contains("Standardizer/MX_B_M"));
        QCOMPARE(CoefficientIni::value(ini, "Standardizer/MX_B_M").toStringList(), QStringList({"1", "1", "1"}));
    }

    void reportsAFileThatCannotBeWritten()
    {
        QTemporaryDir dir;
        for (int failed = 0; failed < 3; ++failed)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^coefficient file"));
        QVERIFY(QDir(dir.path()).mkdir("taken.ini"));
        QVERIFY(!CoefficientIni::write(threeChannels(), dir.filePath("taken.ini")));
        // Readable as an empty file, but no file can be made there (not even by root).
        QString reason;
        QVERIFY(!CoefficientIni::write(threeChannels(), "/proc/coefficients.ini", &reason));
        QVERIFY2(reason.startsWith("文件写入失败。\n/proc/coefficients.ini: ") && reason.size() > 40, qPrintable(reason));
        // A file that cannot be read as INI is left as it is rather than rewritten in part.
        const QString broken = dir.filePath("broken.ini");
        QVERIFY(put(broken, "[Device\nModel=QN 2000\n"));
        QVERIFY(!CoefficientIni::write(threeChannels(), broken));
        QCOMPARE(contents(broken), QByteArray("[Device\nModel=QN 2000\n"));
        QVERIFY(!CoefficientIni::write({}, dir.filePath("empty.ini")) && !QFile::exists(dir.filePath("empty.ini")));
    }

    // Existing files that are not UTF-8 INI text are refused with the reason and left byte for
    // byte as they were.
    void refusesFilesThatAreNotUtf8Ini_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("reason");
        const QString text = "[Other]\r\nName=café\r\n";
        QByteArray utf16("\xFF\xFE");
        utf16 += QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
        QTest::newRow("UTF-16 with byte-order mark") << utf16 << "已有的文件含有NUL字节，不是文本文件。";
        QTest::newRow("leading NUL bytes") << QByteArray(3, '\0') + "[Other]\nName=x\n" << "已有的文件含有NUL字节，不是文本文件。";
        QTest::newRow("Latin-1") << QByteArray("[Other]\nName=caf\xE9\n") << "已有的文件不是UTF-8文本。";
        QTest::newRow("UTF-8 cut inside a character") << QByteArray("[Other]\nName=caf\xC3") << "已有的文件不是UTF-8文本。";
        QTest::newRow("byte-order mark, broken group")
            << QByteArray("\xEF\xBB\xBF[Other\r\nName=x\r\n") << "已有的文件不是有效的INI文件。";
    }
    void refusesFilesThatAreNotUtf8Ini()
    {
        QFETCH(QByteArray, before);
        QTemporaryDir dir;
        const QString path = dir.filePath("other.ini");
        QVERIFY(put(path, before));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^coefficient file"));
        QString reason = "untouched";
        QVERIFY(!CoefficientIni::write(threeChannels(), path, &reason));
        QTEST(reason, "reason");
        QCOMPARE(contents(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"other.ini"});
    }

    // UTF-8 with a byte-order mark and CR LF (a key before any group too), and an empty file,
    // are written over and reported as written; the other keys keep their names and texts.
    void writesOverUtf8WithByteOrderMark()
    {
        QTemporaryDir dir;
        const QByteArray withMark("\xEF\xBB\xBFVersion=2\r\n[Other]\r\nName=caf\xC3\xA9\r\n");
        for (const QByteArray &before : {withMark, QByteArray()}) {
            const QString path = dir.filePath("coefficients.ini");
            QVERIFY(put(path, before));
            QString reason = "untouched";
            QVERIFY(CoefficientIni::write(threeChannels(), path, &reason));
            QCOMPARE(reason, QString());
            QSettings ini(path, QSettings::IniFormat);
            ini.setIniCodec("UTF-8");
            QStringList keys = ini.allKeys();
            keys.sort();
            QCOMPARE(keys.filter(QRegularExpression("^(?!Standardizer/)")).join(',') + ' ' + ini.value("Other/Name").toString(),
                     QString(before.isEmpty() ? " " : "Other/Name,Version café"));
            QCOMPARE(ini.value("Standardizer/B4_C6").toStringList(), entries(&Record::B4));
            QCOMPARE(ini.status(), QSettings::NoError);
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"coefficients.ini"});
        }
    }

    // Anything but a regular file at the path is refused at once and left as it is, saying why;
    // a FIFO is never waited on. So is a file too large to be a coefficient file.
    void refusesWhatIsNoRegularFile()
    {
        QTemporaryDir dir;
        for (int refused = 0; refused < 4; ++refused)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^coefficient file"));
        const QString fifoPath = dir.filePath("fifo.ini");
        FifoWithDeadline fifo(fifoPath, 3000);
        QVERIFY2(fifo.isMade(), qPrintable(fifo.error()));
        QString reason;
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!CoefficientIni::write(threeChannels(), fifoPath, &reason));
        QVERIFY2(!fifo.releasedAReader() && clock.elapsed() < 3000, "the export waited on the FIFO");
        QVERIFY(fifo.isStillFifo());
        QCOMPARE(reason, fifoPath + " 不是普通文件（命名管道），未做任何更改。");

        QVERIFY(QDir(dir.path()).mkdir("folder.ini"));
        QVERIFY(!CoefficientIni::write(threeChannels(), dir.filePath("folder.ini"), &reason));
        QCOMPARE(reason, dir.filePath("folder.ini") + " 不是普通文件（文件夹），未做任何更改。");
        const QString device = dir.filePath("device.ini");
        QVERIFY(::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0600, makedev(1, 3)) == 0);
        QVERIFY(!CoefficientIni::write(threeChannels(), device, &reason));
        QCOMPARE(reason, device + " 不是普通文件（设备），未做任何更改。");

        QFile large(dir.filePath("large.ini"));
        QVERIFY(large.open(QIODevice::WriteOnly) && large.resize(16 * 1024 * 1024 + 1));
        large.close();
        QVERIFY(!CoefficientIni::write(threeChannels(), large.fileName(), &reason));
        QCOMPARE(reason, QString("已有的文件过大（超过 16 MB），未做任何更改。"));
        QCOMPARE(large.size(), 16 * 1024 * 1024 + 1);
    }

    // A disk that fills: a new file and a file that is there are refused with the path and the
    // reason, the file as it was and nothing left beside it.
    void fullDiskLeavesTheFileAsItWas()
    {
        SmallTmpfs disk(256 * 1024);
        QVERIFY2(disk.isMounted(), qPrintable(disk.error()));
        const QByteArray before = "[Other]\nX=1\n";
        QVERIFY(put(disk.filePath("single.ini"), before));
        QVERIFY(disk.fill());
        for (const char *name : {"new.ini", "single.ini"}) {
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^coefficient file"));
            QString reason;
            QVERIFY(!CoefficientIni::write(threeChannels(), disk.filePath(name), &reason));
            QCOMPARE(reason, "文件写入失败。\n" + disk.filePath(name) + ": " + systemText(ENOSPC));
        }
        QCOMPARE(contents(disk.filePath("single.ini")), before);
        QCOMPARE(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden), QStringList({".filler", "single.ini"}));
    }
};

QTEST_APPLESS_MAIN(tst_CoefficientIni)
#include "tst_CoefficientIni.moc"
