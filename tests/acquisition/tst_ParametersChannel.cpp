#include "acquisition/ParametersChannel.h"
#include "shell/QTableWidgetL.h"
#include "shell/Struct_System.h"
#include "support/MessageBoxHelper.h"
#include "support/TestWorkDir.h"
#include "SetupTestHelpers.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace {

Tool::Struct_Collection device(const QString &model, const QStringList &channels, const QStringList &units)
{
    Tool::Struct_Collection d;
    d.Model = model;
    d.Serial = model + QStringLiteral("-SN");
    d.CHSerial = channels;
    d.CHUnit = units;
    return d;
}

QStringList repeated(int count, const QString &text)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << text;
    return list;
}

} // namespace

class tst_ParametersChannel : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestWorkDir> m_dir;
    Struct_System m_system;
    std::unique_ptr<ParametersChannel> m_dialog;
    QTableWidgetL *m_table = nullptr;

    // Instrument 1: three channels; instrument 2: two channels but one unit only.
    void build(bool notification, const QStringList &projects)
    {
        m_system = Struct_System();
        m_system.Switch_Notification = notification;
        m_system.ProjectNames = projects;
        m_system.ProjectDevices = {
            device(QStringLiteral("P540W"), {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")},
                   {QStringLiteral("℃"), QStringLiteral("℃"), QStringLiteral("Ω")}),
            device(QStringLiteral("P780W"), {QStringLiteral("101"), QStringLiteral("102")},
                   {QStringLiteral("Ω")})};
        m_dialog.reset(new ParametersChannel);
        m_dialog->SetTable(&m_system);
        m_table = m_dialog->findChild<QTableWidgetL *>();
        QVERIFY(m_table);
    }

    QString text(int row, int column) const
    {
        const QTableWidgetItem *item = m_table->item(row, column);
        return item ? item->text() : QStringLiteral("<none>");
    }
    QStringList column(int c) const
    {
        QStringList texts;
        for (int row = 0; row < m_table->rowCount(); ++row)
            texts << text(row, c);
        return texts;
    }
    void setText(int row, int column, const QString &value) { m_table->item(row, column)->setText(value); }

    // Opens the line-edit editor of a cell, types the text and closes it by clicking a cell
    // that takes no editor (column 0 of the first row).
    void typeInto(int row, int column, const QString &value)
    {
        m_dialog->tw_cellClicked(row, column);
        auto *edit = qobject_cast<QLineEdit *>(m_table->cellWidget(row, column));
        QVERIFY(edit);
        edit->setText(value);
        m_dialog->tw_cellClicked(0, ParametersChannel::ColDevice);
        QVERIFY(!m_table->cellWidget(row, column));
    }

    QPushButton *button(const char *name) const
    {
        return m_dialog->findChild<QPushButton *>(QLatin1String(name));
    }

    // Presses "下一步"; returns the texts of the boxes shown (each must be a one-button warning).
    QStringList pressNext()
    {
        MessageBoxHelper boxes;
        QTest::mouseClick(button("pushButton_OK"), Qt::LeftButton);
        return warningTexts(boxes);
    }

    // Refused with exactly this message; the channel records are left as they were.
    void expectRefused(const QString &message)
    {
        Struct_ParametersChannel marker;
        marker.Channel = QStringLiteral("marker");
        m_system.ParametersChannels = {marker};
        QCOMPARE(pressNext(), QStringList{message});
        QCOMPARE(m_dialog->result(), int(QDialog::Rejected));
        QCOMPARE(m_system.ParametersChannels.size(), 1);
        QCOMPARE(m_system.ParametersChannels.at(0).Channel, QStringLiteral("marker"));
    }

private slots:
    void init()
    {
        m_dir.reset(new TestWorkDir(TestWorkDir::NoDatabase));
        QVERIFY(m_dir->isValid());
    }

    void cleanup()
    {
        m_dialog.reset();
        m_dir.reset();
    }

    void buildsOneRowPerChannelWithNotification()
    {
        build(true, {QStringLiteral("A"), QStringLiteral("B")});
        QCOMPARE(m_table->columnCount(), 12);
        QStringList headers;
        for (int c = 0; c < m_table->columnCount(); ++c)
            headers << m_table->horizontalHeaderItem(c)->text();
        QCOMPARE(headers, (QStringList{"设备序号", "设备类型", "通道序号", "通道单位", "项目", "显示单位", "Mx+B(M)",
                                       "Mx+B(B)", "下限通知", "下限", "上限通知", "上限"}));
        QCOMPARE(column(0), (QStringList{"1", "1", "1", "2", "2"}));
        QCOMPARE(column(1), (QStringList{"P540W", "P540W", "P540W", "P780W", "P780W"}));
        QCOMPARE(column(2), (QStringList{"1", "2", "3", "101", "102"}));
        // The second instrument has one unit for two channels: the missing one shows empty.
        QCOMPARE(column(3), (QStringList{"℃", "℃", "Ω", "Ω", ""}));
        QCOMPARE(column(4), (QStringList{"A", "A", "A", "A", "A"}));
        QCOMPARE(column(5), column(3));
        QCOMPARE(column(6), repeated(5, QStringLiteral("1")));
        QCOMPARE(column(7), repeated(5, QStringLiteral("0")));
        QCOMPARE(column(9), repeated(5, QStringLiteral("0")));
        QCOMPARE(column(11), repeated(5, QStringLiteral("100")));
        for (int row = 0; row < 5; ++row) {
            for (int c : {8, 10}) {
                QVERIFY(m_table->cellCheckBox(row, c));
                QVERIFY(!m_table->cellCheckBox(row, c)->isChecked());
            }
            for (int c = 0; c < 12; ++c) {
                if (c == 8 || c == 10)
                    continue;
                const bool editable = m_table->item(row, c)->flags() & Qt::ItemIsEditable;
                QCOMPARE(editable, c >= 4);
            }
        }
        QVERIFY(!button("pushButton_Low")->isHidden());
        QVERIFY(!button("pushButton_Hight")->isHidden());
    }

    void notificationOffHasEightColumnsAndDefaultLimits()
    {
        build(false, {QStringLiteral("A")});
        QCOMPARE(m_table->columnCount(), 8);
        QVERIFY(button("pushButton_Low")->isHidden());
        QVERIFY(button("pushButton_Hight")->isHidden());
        setText(4, ParametersChannel::ColDisplayUnit, QStringLiteral("Ω"));
        QCOMPARE(pressNext(), QStringList());
        QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
        QCOMPARE(m_system.ParametersChannels.size(), 5);
        for (const Struct_ParametersChannel &channel : m_system.ParametersChannels) {
            QCOMPARE(channel.LowEnabled, false);
            QCOMPARE(channel.Low, 0.0);
            QCOMPARE(channel.HighEnabled, false);
            QCOMPARE(channel.High, 100.0);
        }
    }

    void editedValueFillsTheRowsBelow()
    {
        build(true, {QStringLiteral("A")});
        typeInto(2, ParametersChannel::ColM, QStringLiteral("2.5"));
        QCOMPARE(column(6), (QStringList{"1", "1", "2.5", "2.5", "2.5"}));

        // Closing an editor copies down even when the text was not changed.
        setText(4, ParametersChannel::ColB, QStringLiteral("9"));
        m_dialog->tw_cellClicked(3, ParametersChannel::ColB);
        m_dialog->tw_cellClicked(0, ParametersChannel::ColModel);
        QCOMPARE(column(7), (QStringList{"0", "0", "0", "0", "0"}));

        // Columns without an editor copy nothing.
        setText(4, ParametersChannel::ColChannel, QStringLiteral("x"));
        m_dialog->tw_cellClicked(1, ParametersChannel::ColChannel);
        m_dialog->tw_cellClicked(0, ParametersChannel::ColModel);
        QCOMPARE(text(4, ParametersChannel::ColChannel), QStringLiteral("x"));

        // The editor of a number cell refuses letters other than E and e.
        m_dialog->tw_cellClicked(0, ParametersChannel::ColHigh);
        auto *edit = qobject_cast<QLineEdit *>(m_table->cellWidget(0, ParametersChannel::ColHigh));
        QVERIFY(edit);
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("1x2E-3"));
        QCOMPARE(edit->text(), QStringLiteral("12E-3"));
        m_dialog->tw_cellClicked(0, ParametersChannel::ColDevice);
        QCOMPARE(column(11), repeated(5, QStringLiteral("12E-3")));
    }

    void clickingTheTableOpensAndClosesEditors()
    {
        build(true, {QStringLiteral("A")});
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
        auto click = [this](int row, int c) {
            const QRect rect = m_table->visualItemRect(m_table->item(row, c));
            QTest::mouseClick(m_table->viewport(), Qt::LeftButton, {}, rect.center());
        };
        click(1, ParametersChannel::ColDisplayUnit);
        auto *edit = qobject_cast<QLineEdit *>(m_table->cellWidget(1, ParametersChannel::ColDisplayUnit));
        QVERIFY(edit);
        edit->setText(QStringLiteral("K"));
        click(0, ParametersChannel::ColModel);
        QCOMPARE(column(5), (QStringList{"℃", "K", "K", "K", "K"}));
        m_dialog->hide();
    }

    void projectChosenInComboAppliesToRowsBelow()
    {
        build(true, {QStringLiteral("A"), QStringLiteral("B")});
        m_dialog->tw_cellClicked(3, ParametersChannel::ColProject);
        auto *combo = qobject_cast<QComboBox *>(m_table->cellWidget(3, ParametersChannel::ColProject));
        QVERIFY(combo);
        QCOMPARE(combo->count(), 2);
        combo->setCurrentIndex(1);
        m_dialog->tw_cellClicked(0, ParametersChannel::ColDevice);
        QCOMPARE(column(4), (QStringList{"A", "A", "A", "B", "B"}));

        setText(4, ParametersChannel::ColDisplayUnit, QStringLiteral("Ω"));
        QCOMPARE(pressNext(), QStringList());
        const QList<Struct_ParametersChannel> &channels = m_system.ParametersChannels;
        QCOMPARE(channels.size(), 5);
        QCOMPARE(channels.at(2).ProjectIndex, 0);
        QCOMPARE(channels.at(3).ProjectIndex, 1);
        QCOMPARE(channels.at(4).DeviceIndex, 1);
        QCOMPARE(channels.at(4).Channel, QStringLiteral("102"));
    }

    void instrumentsWithoutChannelsGiveAnEmptyTable()
    {
        m_system = Struct_System();
        m_system.ProjectNames = QStringList{QStringLiteral("A")};
        m_system.ProjectDevices = {device(QStringLiteral("P540W"), QStringList(), {QStringLiteral("℃")})};
        m_dialog.reset(new ParametersChannel);
        m_dialog->SetTable(&m_system);
        m_table = m_dialog->findChild<QTableWidgetL *>();
        QCOMPARE(m_table->rowCount(), 0);
        expectRefused(QStringLiteral("项目1:未选择通道！"));
    }

    void atMostTwoDisplayUnitsPerProject()
    {
        build(true, {QStringLiteral("A"), QStringLiteral("B")});
        // Project A: ℃, ℃, Ω, %RH; project B: the last row.
        setText(3, ParametersChannel::ColDisplayUnit, QStringLiteral("%RH"));
        setText(4, ParametersChannel::ColProject, QStringLiteral("B"));
        setText(4, ParametersChannel::ColDisplayUnit, QStringLiteral("mV"));
        expectRefused(QStringLiteral("项目1:通道单位最多为两类！"));
        // Units are compared as exact texts.
        setText(3, ParametersChannel::ColDisplayUnit, QStringLiteral("Ω "));
        expectRefused(QStringLiteral("项目1:通道单位最多为两类！"));
        setText(3, ParametersChannel::ColDisplayUnit, QStringLiteral("Ω"));
        setText(4, ParametersChannel::ColProject, QStringLiteral("A"));
        setText(4, ParametersChannel::ColDisplayUnit, QStringLiteral("Ω"));
        expectRefused(QStringLiteral("项目2:未选择通道！"));
        setText(3, ParametersChannel::ColProject, QStringLiteral("B"));
        setText(3, ParametersChannel::ColDisplayUnit, QStringLiteral("%RH"));
        QCOMPARE(pressNext(), QStringList());
        QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
    }

    void rowChecksInOrder()
    {
        build(true, {QStringLiteral("A")});
        setText(2, ParametersChannel::ColDisplayUnit, QStringLiteral("℃"));
        setText(3, ParametersChannel::ColDisplayUnit, QStringLiteral("℃"));
        // The missing unit of the last row is the first fault found there.
        setText(4, ParametersChannel::ColM, QStringLiteral("-"));
        expectRefused(QStringLiteral("单位不能为空！"));
        // A blank is a unit.
        setText(4, ParametersChannel::ColDisplayUnit, QStringLiteral(" "));
        expectRefused(QStringLiteral("输入的M参数异常！"));
        // The display units are kept as one comma-joined list.
        setText(1, ParametersChannel::ColDisplayUnit, QStringLiteral("℃,F"));
        expectRefused(QStringLiteral("显示单位不能包含逗号！"));
        setText(1, ParametersChannel::ColDisplayUnit, QStringLiteral("℃"));
        setText(4, ParametersChannel::ColM, QStringLiteral("1e-3"));
        setText(2, ParametersChannel::ColB, QStringLiteral("abc"));
        setText(2, ParametersChannel::ColLow, QStringLiteral("x"));
        expectRefused(QStringLiteral("输入的B参数异常！"));
        setText(2, ParametersChannel::ColB, QStringLiteral(" -0.5 "));
        expectRefused(QStringLiteral("输入的下限温度异常！"));
        setText(2, ParametersChannel::ColLow, QStringLiteral("nan"));
        expectRefused(QStringLiteral("输入的下限温度异常！"));
        setText(2, ParametersChannel::ColLow, QStringLiteral("200"));
        setText(0, ParametersChannel::ColHigh, QStringLiteral("inf"));
        expectRefused(QStringLiteral("输入的上限温度异常！"));
        setText(0, ParametersChannel::ColHigh, QStringLiteral("1e999"));
        expectRefused(QStringLiteral("输入的上限温度异常！"));
        setText(0, ParametersChannel::ColHigh, QStringLiteral("-1E2"));

        // A lower limit above the upper one is accepted.
        QCOMPARE(pressNext(), QStringList());
        const QList<Struct_ParametersChannel> &channels = m_system.ParametersChannels;
        QCOMPARE(channels.size(), 5);
        QCOMPARE(channels.at(4).M, 0.001);
        QCOMPARE(channels.at(4).DisplayUnit, QStringLiteral(" "));
        QCOMPARE(channels.at(2).B, -0.5);
        QCOMPARE(channels.at(2).Low, 200.0);
        QCOMPARE(channels.at(0).High, -100.0);
    }

    void pastedProjectMustBeOneOfTheProjects()
    {
        build(true, {QStringLiteral("A")});
        setText(4, ParametersChannel::ColDisplayUnit, QStringLiteral("Ω"));
        // Paste over columns 3-5 of the second row: the channel unit is not editable.
        QApplication::clipboard()->setText(QStringLiteral("X\tC\tΩ"));
        m_table->setCurrentCell(1, ParametersChannel::ColUnit);
        m_table->clearSelection();
        QCOMPARE(m_table->pasteCells(), 2);
        QCOMPARE(text(1, ParametersChannel::ColUnit), QStringLiteral("℃"));
        QCOMPARE(text(1, ParametersChannel::ColDisplayUnit), QStringLiteral("Ω"));
        expectRefused(QStringLiteral("第2行的项目不在项目列表中！"));
        setText(1, ParametersChannel::ColProject, QStringLiteral("A"));
        QCOMPARE(pressNext(), QStringList());
        QCOMPARE(m_system.ParametersChannels.at(1).DisplayUnit, QStringLiteral("Ω"));
        QCOMPARE(m_system.ParametersChannels.at(1).Unit, QStringLiteral("℃"));
    }

    void selectAllTogglesTickEveryRow()
    {
        build(true, {QStringLiteral("A")});
        auto ticked = [this](int c) {
            int n = 0;
            for (int row = 0; row < m_table->rowCount(); ++row)
                n += m_table->cellCheckBox(row, c)->isChecked() ? 1 : 0;
            return n;
        };
        m_table->cellCheckBox(2, ParametersChannel::ColHighEnabled)->setChecked(true);
        QTest::mouseClick(button("pushButton_Low"), Qt::LeftButton);
        QCOMPARE(button("pushButton_Low")->text(), QStringLiteral("取消全选"));
        QCOMPARE(ticked(ParametersChannel::ColLowEnabled), 5);
        QCOMPARE(ticked(ParametersChannel::ColHighEnabled), 1);
        QTest::mouseClick(button("pushButton_Low"), Qt::LeftButton);
        QCOMPARE(button("pushButton_Low")->text(), QStringLiteral("下限全选"));
        QCOMPARE(ticked(ParametersChannel::ColLowEnabled), 0);
        QTest::mouseClick(button("pushButton_Hight"), Qt::LeftButton);
        QCOMPARE(button("pushButton_Hight")->text(), QStringLiteral("取消全选"));
        QCOMPARE(ticked(ParametersChannel::ColHighEnabled), 5);
        m_table->cellCheckBox(0, ParametersChannel::ColLowEnabled)->setChecked(true);

        setText(4, ParametersChannel::ColDisplayUnit, QStringLiteral("Ω"));
        QCOMPARE(pressNext(), QStringList());
        const QList<Struct_ParametersChannel> &channels = m_system.ParametersChannels;
        QCOMPARE(channels.at(0).LowEnabled, true);
        QCOMPARE(channels.at(1).LowEnabled, false);
        for (const Struct_ParametersChannel &channel : channels)
            QCOMPARE(channel.HighEnabled, true);
    }

    void acceptedRowsReplaceTheChannelRecords()
    {
        build(true, {QStringLiteral("A")});
        m_system.ParametersChannels = {Struct_ParametersChannel(), Struct_ParametersChannel()};
        typeInto(2, ParametersChannel::ColDisplayUnit, QStringLiteral("mV"));
        typeInto(4, ParametersChannel::ColM, QStringLiteral("0.98"));
        typeInto(4, ParametersChannel::ColB, QStringLiteral("-0.25"));
        typeInto(4, ParametersChannel::ColLow, QStringLiteral("20"));
        typeInto(4, ParametersChannel::ColHigh, QStringLiteral("80"));
        m_table->cellCheckBox(4, ParametersChannel::ColHighEnabled)->setChecked(true);
        QCOMPARE(pressNext(), QStringList());
        QCOMPARE(m_dialog->result(), int(QDialog::Accepted));

        const QList<Struct_ParametersChannel> &channels = m_system.ParametersChannels;
        QCOMPARE(channels.size(), 5);
        const Struct_ParametersChannel &first = channels.at(0);
        QCOMPARE(first.DeviceIndex, 0);
        QCOMPARE(first.ProjectIndex, 0);
        QCOMPARE(first.Channel, QStringLiteral("1"));
        QCOMPARE(first.Type, QStringLiteral("Auto"));
        QCOMPARE(first.Function, QStringLiteral("Auto"));
        QCOMPARE(first.Wire, QStringLiteral("Auto"));
        QCOMPARE(first.Unit, QStringLiteral("℃"));
        QCOMPARE(first.DisplayUnit, QStringLiteral("℃"));
        const Struct_ParametersChannel &last = channels.at(4);
        QCOMPARE(last.DeviceIndex, 1);
        QCOMPARE(last.Channel, QStringLiteral("102"));
        QCOMPARE(last.Unit, QString());
        QCOMPARE(last.DisplayUnit, QStringLiteral("mV"));
        QCOMPARE(last.M, 0.98);
        QCOMPARE(last.B, -0.25);
        QCOMPARE(last.LowEnabled, false);
        QCOMPARE(last.Low, 20.0);
        QCOMPARE(last.HighEnabled, true);
        QCOMPARE(last.High, 80.0);
    }
};

QTEST_MAIN(tst_ParametersChannel)
#include "tst_ParametersChannel.moc"
