#pragma once

#include "common/Struct_ParametersChannel.h"
#include "store/Tool.h"

#include <QList>
#include <QString>
#include <QStringList>

// The one application record: created by the main window at start and alive for the whole
// process. Pages and dialogs get a pointer to it and never own it.
struct Struct_System {
    QString Version = QStringLiteral("V2.1.4");

    // Feature switches (SystemSet rows of the same names).
    bool Switch_ChannelTypeSet = false;
    bool Switch_ChannelParameterSet = false;
    bool Switch_ChannelConfig = false;
    bool Switch_ChannelCalibration = false;
    bool Switch_Notification = false;
    bool Switch_ExportADvanced = false;
    bool Switch_DeviceSupport = false;
    bool Switch_DeviceSet = false;

    // Settings (SystemSet rows).
    int DataAccuracy = 2;               // decimals of shown and written values
    QString SystemLanguage;             // "中文" or "English"
    int EmailInterval = 10;             // minutes between two alarm passes
    bool EmailAutoTrigger = false;      // alarm mail on
    QStringList EmailAddress;           // alarm mail recipients

    QList<Tool::Struct_Collection> DeviceList; // registered instruments

    // Acquisition set-up in progress.
    bool DataSave = false;
    double Interval = 0.0;              // seconds
    QString Mode;                       // displayed text of the chosen mode
    QString ModeKey;                    // untranslated mode word, "在线" or "导入"
    QString StartTime;                  // "yyyy-MM-dd hh:mm:ss"
    QString EndTime;
    QStringList ProjectNames;           // 1 to 3
    QList<Tool::Struct_Collection> ProjectDevices; // 1 to 3
    QList<Struct_ParametersChannel> ParametersChannels;

    // Calibration set-up.
    QString FieldModel, FieldSignalMode, FieldSignal1, FieldSignal2;
    QString CriteriaModel, CriteriaSignalMode, CriteriaSignal1, CriteriaSignal2;
    int CalibrationDelay = 0;           // minutes
    QStringList CalibrationTemp;
    Tool::Struct_Calibration Calibration;
    Tool::Struct_Collection CalibrationDevice;
    QList<Tool::Struct_CalibrationData> CalibrationData;
};
