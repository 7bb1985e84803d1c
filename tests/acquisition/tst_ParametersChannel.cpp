#include "acquisition/ParametersChannel.h"
#include "widgets/QTableWidgetL.h"
#include "common/Struct_System.h"
#include "support/MessageBoxHelper.h"
#include "support/TestWorkDir.h"
#include "SetupTestHelpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>

class tst_ParametersChannel : public QObject
{
    Q_OBJECT

private:
    using P = ParametersChannel;
    TestWorkDir m_dir{TestWorkDir::NoDatabase};
    Struct_System m_system;
    std::unique_ptr<ParametersChannel> m_dialog;
    QTableWidgetL *m_table = nullptr;

    // Instrument 1: three channels; instrument 2: two channels but one unit only.
    void build(bool notification, const QStringList &projects)
    {
        m_system = Struct_System();
        m_system.Switch_Notification = notification;
        m_system.ProjectNames = projects;
        m_system.ProjectDevices = {testDevice("P540W", "1"), testDevice("P780W", "2")};
        m_system.ProjectDevices[0].CHSerial << "3";
        m_system.ProjectDevices[0].CHUnit = QStringList{"℃", "℃", "Ω"};
        m_system.ProjectDevices[1].CHSerial = QStringList{"101", "102"};
        m_system.ProjectDevices[1].CHUnit = QStringList{"Ω"};
        m_dialog.reset(new ParametersChannel);
        m_dialog->SetTable(&m_system);
        m_table = m_dialog->findChild<QTableWidgetL *>();
    }

    void setText(int row, int column, const QString &value) { m_table->item(row, column)->setText(value); }
    QPushButton *button(const char *name) const { return m_dialog->findChild<QPushButton *>(QLatin1String(name)); }

    // Opens the line-edit editor of a cell, types the text and closes it by clicking a cell
    // that takes no editor (column 0 of the first row).
    void typeInto(int row, int column, const QString &value)
    {
        m_dialog->tw_cellClicked(row, column);
        auto *edit = qobject_cast<QLineEdit *>(m_table->cellWidget(row, column));
        QVERIFY(edit);
        edit->setText(value);
        m_dialog->tw_cellClicked(0, P::ColDevice);
        QVERIFY(!m_table->cellWidget(row, column));
    }

    // Presses "下一步": the text of the one warning shown, with the records left as they were,
    // or the records accepted, one a line, as "device|project|channel|type/function/wire|unit|
    // display|M|B|low|high", a limit with "!" when its notification is on.
    QString pressNext()
    {
        m_system.ParametersChannels = {Struct_ParametersChannel()};
        m_system.ParametersChannels[0].Channel = "marker";
        MessageBoxHelper boxes;
        QTest::mouseClick(button("pushButton_OK"), Qt::LeftButton);
        QStringList records;
        for (const Struct_ParametersChannel &c : m_system.ParametersChannels)
            records << QStringList{QString::number(c.DeviceIndex), QString::number(c.ProjectIndex), c.Channel,
                                   c.Type + "/" + c.Function + "/" + c.Wire, c.Unit, c.DisplayUnit, QString::number(c.M),
                                   QString::number(c.B), QString::number(c.Low) + (c.LowEnabled ? "!" : ""),
                                   QString::number(c.High) + (c.HighEnabled ? "!" : "")}.join('|');
        if (boxes.count() > 0)
            return warningTexts(boxes).join("; ") + (m_dialog->result() == QDialog::Rejected && records.size() == 1
                                                             && records.at(0).contains("|marker|") ? "" : " (stored)");
        return m_dialog->result() == QDialog::Accepted ? records.join('\n') : "not accepted";
    }

private slots:
    // One row per channel (the missing unit of the second instrument empty), editable from the
    // project on; the limit columns and buttons only with notification, else default limits.
    void buildsOneRowPerChannel()
    {
        for (const bool notification : {true, false}) {
            build(notification, {"A", "B"});
            QStringList rows;
            for (int row = 0; row < m_table->rowCount(); ++row) {
                QStringList cells;
                for (int c = 0; c < m_table->columnCount(); ++c) {
                    if (QCheckBox *box = m_table->cellCheckBox(row, c)) {
                        cells << (box->isChecked() ? "[x]" : "[ ]");
                    } else {
                        QVERIFY(m_table->item(row, c));
                        QCOMPARE(bool(m_table->item(row, c)->flags() & Qt::ItemIsEditable), c >= 4);
                        cells << m_table->item(row, c)->text();
                    }
                }
                rows << cells.join('|');
            }
            const QString limits = notification ? "|[ ]|0|[ ]|100" : "";
            QCOMPARE(rows.join('\n'), QStringList({"1|P540W|1|℃|A|℃|1|0", "1|P540W|2|℃|A|℃|1|0", "1|P540W|3|Ω|A|Ω|1|0",
                                                   "2|P780W|101|Ω|A|Ω|1|0", "2|P780W|102||A||1|0"})
                                          .join(limits + '\n') + limits);
            QCOMPARE(QVector<bool>({button("pushButton_Low")->isHidden(), button("pushButton_Hight")->isHidden()}),
                     QVector<bool>(2, !notification));
        }
        setText(4, P::ColDisplayUnit, "Ω");
        setText(0, P::ColProject, "B");
        const QString records = pressNext();
        QVERIFY2(records.count("|1|0|0|100") == 5 && records.startsWith("0|1|1|"), qPrintable(records));
    }

    // A value typed, or an editor closed unchanged, goes down the rows below (columns without
    // an editor copy nothing), by calls and by mouse clicks on the shown table; the project is
    // chosen in a combo box; the accepted rows replace the channel records with the registered
    // unit and "Auto" for type, function and wire.
    void editsFillTheRowsBelowAndReplaceTheRecords()
    {
        build(true, {"A", "B"});
        typeInto(2, P::ColM, "2.5");
        setText(4, P::ColB, "9");
        m_dialog->tw_cellClicked(3, P::ColB);
        m_dialog->tw_cellClicked(0, P::ColModel);
        setText(4, P::ColChannel, "x");
        m_dialog->tw_cellClicked(1, P::ColChannel);
        m_dialog->tw_cellClicked(0, P::ColModel);

        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
        auto click = [this](int row, int c) {
            QTest::mouseClick(m_table->viewport(), Qt::LeftButton, {}, m_table->visualItemRect(m_table->item(row, c)).center());
        };
        click(1, P::ColDisplayUnit);
        auto *edit = qobject_cast<QLineEdit *>(m_table->cellWidget(1, P::ColDisplayUnit));
        QVERIFY(edit);
        edit->setText("K");
        click(0, P::ColModel);
        m_dialog->tw_cellClicked(3, P::ColProject);
        auto *combo = qobject_cast<QComboBox *>(m_table->cellWidget(3, P::ColProject));
        QVERIFY(combo && combo->count() == 2);
        combo->setCurrentIndex(1);
        m_dialog->tw_cellClicked(0, P::ColDevice);
        typeInto(4, P::ColM, "0.98");
        typeInto(4, P::ColLow, "20");
        typeInto(4, P::ColHigh, "80");
        m_table->cellCheckBox(4, P::ColHighEnabled)->setChecked(true);
        QCOMPARE(pressNext(), QStringLiteral("0|0|1|Auto/Auto/Auto|℃|℃|1|0|0|100\n0|0|2|Auto/Auto/Auto|℃|K|1|0|0|100\n"
                                             "0|0|3|Auto/Auto/Auto|Ω|K|2.5|0|0|100\n1|1|101|Auto/Auto/Auto|Ω|K|2.5|0|0|100\n"
                                             "1|1|x|Auto/Auto/Auto||K|0.98|0|20|80!"));
    }

    // edits: "row/column/text" each. A refused row names itself on a second line: the first
    // faulty row is reported, with its first fault. Then each project needs a channel and at
    // most two display units (compared as exact texts). Row 4 has no unit when built.
    void rowsAndProjectsChecked_data()
    {
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<QString>("outcome");
        auto edit = [](int row, int column, const QString &text) { return QString("%1/%2/%3").arg(row).arg(column).arg(text); };
        const QString unit = edit(4, P::ColDisplayUnit, "Ω");
        QTest::newRow("empty unit before a bad M") << QStringList{edit(4, P::ColM, "-")}
                                                   << "单位不能为空！\n第5行：设备序号2，通道序号102";
        QTest::newRow("comma") << QStringList{unit, edit(1, P::ColDisplayUnit, "℃,F")}
                               << "显示单位不能包含逗号！\n第2行：设备序号1，通道序号2";
        QTest::newRow("double quote") << QStringList{unit, edit(3, P::ColDisplayUnit, "\"F")}
                                      << "显示单位不能包含双引号！\n第4行：设备序号2，通道序号101";
        QTest::newRow("M sign only") << QStringList{unit, edit(4, P::ColM, "-")}
                                     << "输入的M参数异常！\n第5行：设备序号2，通道序号102";
        QTest::newRow("B before the limit") << QStringList{unit, edit(2, P::ColB, "abc"), edit(2, P::ColLow, "x")}
                                            << "输入的B参数异常！\n第3行：设备序号1，通道序号3";
        QTest::newRow("low nan") << QStringList{unit, edit(2, P::ColLow, "nan")}
                                 << "输入的下限温度异常！\n第3行：设备序号1，通道序号3";
        QTest::newRow("high overflow, the earlier row first") << QStringList{unit, edit(3, P::ColM, "x"), edit(0, P::ColHigh, "1e999")}
                                                         << "输入的上限温度异常！\n第1行：设备序号1，通道序号1";
        QTest::newRow("pasted project") << QStringList{unit, edit(1, P::ColProject, "X")}
                                        << "第2行的项目不在项目列表中！\n第2行：设备序号1，通道序号2";
        const QStringList third{edit(3, P::ColDisplayUnit, "%RH"), edit(4, P::ColProject, "B"), edit(4, P::ColDisplayUnit, "mV")};
        QTest::newRow("three units") << third << "项目1:通道单位最多为两类！";
        QTest::newRow("units as exact texts") << (QStringList(third) << edit(3, P::ColDisplayUnit, "Ω "))
                                              << "项目1:通道单位最多为两类！";
        QTest::newRow("project without channels") << QStringList{unit} << "项目2:未选择通道！";
        // Blank units, exponents and blanks around numbers are accepted; the limits are not compared.
        QTest::newRow("accepted edge values")
            << QStringList{edit(2, P::ColDisplayUnit, "℃"), edit(3, P::ColDisplayUnit, "%RH"), edit(3, P::ColProject, "B"),
                           edit(4, P::ColDisplayUnit, " "), edit(4, P::ColM, "1e-3"), edit(2, P::ColB, " -0.5 "),
                           edit(2, P::ColLow, "200"), edit(0, P::ColHigh, "-1E2")}
            << "0|0|1|Auto/Auto/Auto|℃|℃|1|0|0|-100\n0|0|2|Auto/Auto/Auto|℃|℃|1|0|0|100\n0|0|3|Auto/Auto/Auto|Ω|℃|1|-0.5|200|100\n"
               "1|1|101|Auto/Auto/Auto|Ω|%RH|1|0|0|100\n1|0|102|Auto/Auto/Auto|| |0.001|0|0|100";
    }

    void rowsAndProjectsChecked()
    {
        QFETCH(QStringList, edits);
        QFETCH(QString, outcome);
        build(true, {"A", "B"});
        for (const QString &e : edits) {
            const QStringList part = e.split('/');
            setText(part.at(0).toInt(), part.at(1).toInt(), part.mid(2).join('/'));
        }
        QCOMPARE(pressNext(), outcome);
    }

    // Each button ticks or clears its whole column and says what the next press does.
    void selectAllTogglesTickEveryRow()
    {
        build(true, {"A"});
        m_table->cellCheckBox(2, P::ColHighEnabled)->setChecked(true);
        QStringList texts;
        for (const char *name : {"pushButton_Low", "pushButton_Low", "pushButton_Hight", "pushButton_Low"}) {
            QTest::mouseClick(button(name), Qt::LeftButton);
            texts << button(name)->text();
        }
        QCOMPARE(texts.join(' '), QStringLiteral("取消全选 下限全选 取消全选 取消全选"));
        m_table->cellCheckBox(1, P::ColLowEnabled)->setChecked(false);
        setText(4, P::ColDisplayUnit, "Ω");
        const QString records = pressNext();
        QVERIFY2(records.count("|0!|100!") == 4 && records.contains("|2|Auto/Auto/Auto|℃|℃|1|0|0|100!"), qPrintable(records));
    }
};

QTEST_MAIN(tst_ParametersChannel)
#include "tst_ParametersChannel.moc"
