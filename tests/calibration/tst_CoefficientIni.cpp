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

const QList<QPair<QByteArray, QString Record::*>> kKeys{
    {"A_C0", &Record::A},   {"B_C1", &Record::B},   {"C_C2", &Record::C},   {"D_C3", &Record::D},   {"R0_C4", &Record::R0},
    {"A4_C5", &Record::A4}, {"B4_C6", &Record::B4}, {"Mx_B_M", nullptr}, {"Mx_B_B", nullptr}, {"Name", &Record::Name}};

QStringList entriesOf(const QByteArray &key, QString Record::*field)
{
    return field ? entries(field) : QStringList(QVector<QString>(3, key == "Mx_B_M" ? "1" : "0").toList());
}

// The lines the export writes for threeChannels(), the keys given (all by default) in table order.
QByteArray lines(const QByteArray &eol, const QList<QByteArray> &only = {})
{
    QByteArray out;
    for (const auto &[key, field] : kKeys)
        if (only.isEmpty() || only.contains(key))
            out += key + '=' + entriesOf(key, field).join(", ").toUtf8() + eol;
    return out;
}

bool isOwnKey(const QString &key)
{
    for (const auto &own : kKeys)
        if (key.compare("Standardizer/" + own.first, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// Every key as QSettings reads it, but those the export writes.
QMap<QString, QVariant> otherKeys(const QString &path)
{
    QSettings ini(path, QSettings::IniFormat);
    ini.setIniCodec("UTF-8");
    QMap<QString, QVariant> keys;
    for (const QString &key : ini.allKeys())
        if (!isOwnKey(key))
            keys.insert(key, ini.value(key));
    return keys;
}

ino_t inodeOf(const QString &path)
{
    struct stat status;
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
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
        QTest::newRow("plain text") << QByteArray("Coefficients of May\n") << "已有的文件不是有效的INI文件。";
        // What is added after it would be read as part of the quoted text.
        QTest::newRow("quote left open at the end") << QByteArray("[Other]\nNote=\"open\n") << "已有的文件不是有效的INI文件。";
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
    // are written over and reported as written; the other keys keep their names and texts, and
    // the mark and the line ends stay.
    void writesOverUtf8WithByteOrderMark()
    {
        QTemporaryDir dir;
        const QByteArray withMark("\xEF\xBB\xBFVersion=2\r\n[Other]\r\nName=caf\xC3\xA9\r\n");
        for (const QByteArray &before : {withMark, QByteArray()}) {
            const QString path = dir.filePath("coefficients.ini");
            QVERIFY(put(path, before));
            const QMap<QString, QVariant> others = otherKeys(path);
            QString reason = "untouched";
            QVERIFY(CoefficientIni::write(threeChannels(), path, &reason));
            QCOMPARE(reason, QString());
            QCOMPARE(contents(path), before.isEmpty() ? "[Standardizer]\n" + lines("\n")
                                                      : before + "\r\n[Standardizer]\r\n" + lines("\r\n"));
            QCOMPARE(otherKeys(path), others);
            QCOMPARE(QSettings(path, QSettings::IniFormat).value("Standardizer/B4_C6").toStringList(), entries(&Record::B4));
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"coefficients.ini"});
        }
    }

    // What the export does not own stays byte for byte: comments of both kinds, names in any
    // script, backslashes and lists in other keys, line ends. Its own keys replace the line that
    // held them where it stands (another spelling of the name's case too), other lines naming
    // them go, missing ones are added to the group. QSettings reads the result as intended.
    void keepsWhatItDoesNotOwn_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        const QByteArray group = "\n[Standardizer]\n" + lines("\n");
        QTest::newRow("comments") << QByteArray("; by hand\n# also a comment\n[Device]\nModel=QN 2000 ; inline\n")
                                  << "; by hand\n# also a comment\n[Device]\nModel=QN 2000 ; inline\n" + group;
        QTest::newRow("names in Chinese") << QByteArray("[设备]\n型号=QN 2000\n") << "[设备]\n型号=QN 2000\n" + group;
        QTest::newRow("backslashes and a list")
            << QByteArray("[Other]\nPath=C:\\Data\\cal.ini\nList=1,2,3\n") << "[Other]\nPath=C:\\Data\\cal.ini\nList=1,2,3\n" + group;
        QTest::newRow("no line end at the end") << QByteArray("[Other]\nX=1") << "[Other]\nX=1\n" + group;
        QTest::newRow("own group, CR LF")
            << QByteArray("[Standardizer]\r\n; old values\r\nA_C0=old ; fitted by hand\r\nmx_b_m = 7\r\n"
                          "Name=\"two\r\nlines\"\r\nNote=kept\r\n\r\n[Next]\r\nX=1\r\n")
            << "[Standardizer]\r\n; old values\r\n" + lines("", {"A_C0"}) + " ; fitted by hand\r\n"
                   + lines("\r\n", {"Mx_B_M", "Name"}) + "Note=kept\r\n"
                   + lines("\r\n", {"B_C1", "C_C2", "D_C3", "R0_C4", "A4_C5", "B4_C6", "Mx_B_B"}) + "\r\n[Next]\r\nX=1\r\n";
        QTest::newRow("byte-order mark before the own group")
            << QByteArray("\xEF\xBB\xBF[Standardizer]\r\nA_C0=old\r\n")
            << "\xEF\xBB\xBF[Standardizer]\r\n" + lines("\r\n");
        QTest::newRow("other spellings and doubles go")
            << QByteArray("[standardizer]\nB_C1=x\n[General]\nStandardizer\\C_C2=y\n[Standardizer]\nA_C0=1\nA_C0=2\n")
            << "[standardizer]\n[General]\n[Standardizer]\n" + lines("\n", {"A_C0"})
                   + lines("\n", {"B_C1", "C_C2", "D_C3", "R0_C4", "A4_C5", "B4_C6", "Mx_B_M", "Mx_B_B", "Name"});
    }
    void keepsWhatItDoesNotOwn()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        const QString path = dir.filePath("coefficients.ini");
        QVERIFY(put(path, before));
        const QMap<QString, QVariant> others = otherKeys(path);
        QString reason;
        QVERIFY2(CoefficientIni::write(threeChannels(), path, &reason), qPrintable(reason));
        QCOMPARE(contents(path), after);
        QCOMPARE(otherKeys(path), others);
        QSettings ini(path, QSettings::IniFormat);
        ini.setIniCodec("UTF-8");
        for (const auto &[key, field] : kKeys)
            QCOMPARE(ini.value("Standardizer/" + key).toStringList(), entriesOf(key, field));
    }

    // A new file is what the INI writer of QSettings writes, texts that need quotes or escapes
    // included, for one channel (a plain text) and for several (a list).
    void writesTheListNotationOfQSettings()
    {
        QTemporaryDir dir;
        Record tricky = threeChannels().first();
        tricky.A = "a,b;c=d";
        tricky.B = "@x";
        tricky.C = " spaced ";
        tricky.D = "q\"uote\\ and \\x";
        tricky.R0 = "温度 ℃";
        tricky.A4 = "tab\there\nline";
        tricky.B4 = "";
        tricky.Name = QString("nul") + QChar(0) + "12";
        // A comma alone (a decimal comma) is quoted too, or it would split the entry in two.
        Record comma = threeChannels().first();
        comma.Name = "1,5";
        for (const QList<Record> &records : {QList<Record>{tricky}, QList<Record>{tricky, threeChannels().at(1), tricky},
                                             QList<Record>{comma}, QList<Record>{comma, comma}}) {
            const QString ours = dir.filePath("ours.ini");
            const QString theirs = dir.filePath("theirs.ini");
            QVERIFY(CoefficientIni::write(records, ours));
            {
                QSettings ini(theirs, QSettings::IniFormat);
                ini.setIniCodec("UTF-8");
                for (const auto &[key, field] : kKeys) {
                    QStringList list;
                    for (const Record &r : records)
                        list << (field ? r.*field : QString(key == "Mx_B_M" ? "1" : "0"));
                    ini.setValue("Standardizer/" + key, list);
                }
            }
            // The same lines; QSettings orders new keys by name, the export by the table.
            QList<QByteArray> ourLines = contents(ours).split('\n'), theirLines = contents(theirs).split('\n');
            std::sort(ourLines.begin(), ourLines.end());
            std::sort(theirLines.begin(), theirLines.end());
            QCOMPARE(ourLines, theirLines);
            QSettings read(ours, QSettings::IniFormat);
            read.setIniCodec("UTF-8");
            QStringList names;
            for (const Record &r : records)
                names << r.Name;
            QCOMPARE(read.value("Standardizer/Name").toStringList(), names);
            QVERIFY(QFile::remove(ours) && QFile::remove(theirs));
        }
    }

    // A file of several names (hard links) is rewritten where it stands, so every name sees the
    // keys; a symbolic link stays a link to its file. Nothing is left beside them.
    void keepsTheFileAndItsNames()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("coefficients.ini");
        const QString linked = dir.filePath("linked.ini");
        QVERIFY(put(path, "[Other]\nX=1\n"));
        QVERIFY(::link(QFile::encodeName(path).constData(), QFile::encodeName(linked).constData()) == 0);
        const ino_t inode = inodeOf(path);
        QVERIFY(CoefficientIni::write(threeChannels(), path));
        QCOMPARE(inodeOf(path), inode);
        QCOMPARE(contents(linked), "[Other]\nX=1\n\n[Standardizer]\n" + lines("\n"));
        // Shorter than before: nothing of the old text is left at the end.
        QList<Record> one{threeChannels().first()};
        QVERIFY(CoefficientIni::write(one, linked));
        QCOMPARE(QSettings(path, QSettings::IniFormat).value("Standardizer/Name").toStringList(), QStringList{one.first().Name});
        QVERIFY(contents(path).endsWith("\nName=" + one.first().Name.toUtf8() + "\n"));

        const QString single = dir.filePath("single.ini");
        const QString symlink = dir.filePath("symlink.ini");
        QVERIFY(put(single, "") && QFile::link(single, symlink));
        QVERIFY(CoefficientIni::write(threeChannels(), symlink));
        QVERIFY(QFileInfo(symlink).isSymLink());
        QCOMPARE(contents(single), "[Standardizer]\n" + lines("\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System | QDir::Hidden),
                 QStringList({"coefficients.ini", "linked.ini", "single.ini", "symlink.ini"}));
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

    // The check of an existing file takes time in proportion to its size, whatever its lines:
    // a megabyte of groups left open, or of keys in one long group, costs about what a
    // megabyte of plain groups does (a generous factor, measured in the same run).
    void checkTakesTimeInProportionToTheSize_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<bool>("accepted");
        const int size = 1024 * 1024;
        QTest::newRow("groups left open") << QByteArray("[Channel\n").repeated(size / 9) << false;
        QTest::newRow("keys in one long group")
            << "[" + QByteArray(size / 2, 'g') + "]\n" + QByteArray("k=1\n").repeated(size / 8) << true;
    }
    void checkTakesTimeInProportionToTheSize()
    {
        QFETCH(QByteArray, before);
        QFETCH(bool, accepted);
        QTemporaryDir dir;
        const QString plain = dir.filePath("plain.ini"), other = dir.filePath("other.ini");
        QVERIFY(put(plain, QByteArray("[Channel]\n").repeated(before.size() / 10)) && put(other, before));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(CoefficientIni::write(threeChannels(), plain));
        const qint64 plainMs = clock.restart();
        if (!accepted)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^coefficient file"));
        QCOMPARE(CoefficientIni::write(threeChannels(), other), accepted);
        const qint64 otherMs = clock.elapsed();
        QVERIFY2(otherMs <= 10 * plainMs + 200, qPrintable(QStringLiteral("%1 ms against %2 ms").arg(otherMs).arg(plainMs)));
        if (!accepted)
            QCOMPARE(contents(other), before);
    }

    // A disk that fills: a new file, a file of one name and a file of two names are all refused
    // with the path and the reason, each file as it was and nothing left beside it; with room
    // made, the linked file takes the keys where it stands.
    void fullDiskLeavesEveryFileAsItWas()
    {
        SmallTmpfs disk(256 * 1024);
        QVERIFY2(disk.isMounted(), qPrintable(disk.error()));
        // Larger than a page of the disk together with the keys: the new text needs a page more.
        const QByteArray before = "; " + QByteArray(4000, 'x') + "\n[Other]\nX=1\n";
        QVERIFY(put(disk.filePath("single.ini"), before) && put(disk.filePath("linked.ini"), before));
        QVERIFY(::link(QFile::encodeName(disk.filePath("linked.ini")).constData(), QFile::encodeName(disk.filePath("second.ini")).constData()) == 0);
        const ino_t inode = inodeOf(disk.filePath("linked.ini"));
        // A time of the past shows whether a file was written to at all (and then put back).
        const QDateTime past = QDateTime::fromSecsSinceEpoch(946684800, Qt::UTC);
        for (const char *name : {"single.ini", "linked.ini"}) {
            QFile file(disk.filePath(name));
            QVERIFY(file.open(QIODevice::ReadWrite) && file.setFileTime(past, QFileDevice::FileModificationTime));
        }
        QVERIFY(disk.fill());
        for (const char *name : {"new.ini", "single.ini", "linked.ini"}) {
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^coefficient file"));
            QString reason;
            QVERIFY(!CoefficientIni::write(threeChannels(), disk.filePath(name), &reason));
            QCOMPARE(reason, "文件写入失败。\n" + disk.filePath(name) + ": " + systemText(ENOSPC));
        }
        QCOMPARE(contents(disk.filePath("single.ini")) + contents(disk.filePath("second.ini")), before + before);
        QCOMPARE(QFileInfo(disk.filePath("single.ini")).lastModified(), past);
        QCOMPARE(QFileInfo(disk.filePath("linked.ini")).lastModified(), past);
        QCOMPARE(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({".filler", "linked.ini", "second.ini", "single.ini"}));
        disk.makeRoom();
        QVERIFY(CoefficientIni::write(threeChannels(), disk.filePath("linked.ini")));
        QCOMPARE(inodeOf(disk.filePath("linked.ini")), inode);
        QCOMPARE(contents(disk.filePath("second.ini")), before + "\n[Standardizer]\n" + lines("\n"));
    }
};

QTEST_APPLESS_MAIN(tst_CoefficientIni)
#include "tst_CoefficientIni.moc"
