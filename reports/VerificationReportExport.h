#pragma once

#include "reports/Struct_Export.h"

#include <QDateTime>
#include <QDialog>
#include <QList>

#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class TypedDateTimeEdit;

// The options of a segmented report export ("报表生成"): the sheets to include, the format and
// file, one to six time segments with a remark each and the print interval. OK checks them in a
// fixed order and, only when all pass, writes them into the page's Struct_Export and accepts.
class VerificationReportExport : public QDialog
{
    Q_OBJECT
public:
    static constexpr int MaxSegments = 6;

    // Asks for the file to write (filter such as "Image Files (*.pdf)"); empty when cancelled.
    using FileChooser = std::function<QString(QWidget *parent, const QString &filter)>;

    explicit VerificationReportExport(QWidget *parent = nullptr);

    // Loads the widgets from the page's record, which OK then writes.
    void SetParameters(Struct_Export *record);

    // Every print-th scan: print / scan, both seconds rounded to whole milliseconds; 0 when the
    // pair is refused (a scan below 1 ms or beyond an int of milliseconds, a print interval that
    // is not a positive multiple of the scan interval).
    static int PrintStep(const QString &scanSeconds, const QString &printSeconds);

    // The save dialog of the report exports ("打开文件", empty directory); tests replace it.
    static QString ChooseSavePath(QWidget *parent, const QString &filter);
    static void setFileChooser(FileChooser chooser);

public slots:
    void OK_clicked();
    void Route_clicked();
    void Segment_clicked(int index);
    void dateTimeChanged1_clicked(const QDateTime &end);
    void dateTimeChanged2_clicked(const QDateTime &end);
    void dateTimeChanged3_clicked(const QDateTime &end);
    void dateTimeChanged4_clicked(const QDateTime &end);
    void dateTimeChanged5_clicked(const QDateTime &end);
    void dateTimeChanged6_clicked(const QDateTime &end);

private:
    void setupUi();
    void SetAnalysisLabels();
    // The end of segment row (0-based) moved: the next segment starts there.
    void endChanged(int row, const QDateTime &end);
    void enableRows(int count);
    // The first failed check's message; empty when the options are sound.
    QString check() const;
    void inform(const QString &text);

    QCheckBox *checkBox_WorkData = nullptr;
    QCheckBox *checkBox_Horizontal1 = nullptr;
    QCheckBox *checkBox_Vertical1 = nullptr;
    QCheckBox *checkBox_Horizontal2 = nullptr;
    QCheckBox *checkBox_Vertical2 = nullptr;
    QComboBox *comboBox_Format = nullptr;
    QComboBox *comboBox_Segments = nullptr;
    QLineEdit *lineEdit_PrintInterval = nullptr;
    QLineEdit *lineEdit_Path = nullptr;
    QPushButton *pushButton_Route = nullptr;
    QPushButton *pushButton_OK = nullptr;

    QList<TypedDateTimeEdit *> m_Starts;
    QList<TypedDateTimeEdit *> m_Ends;
    QList<QLineEdit *> m_Remarks;
    Struct_Export *m_Export = nullptr;
    bool m_Ready = false;
};
