#pragma once

#include <QString>

// Names of the rows of table SystemSet, declared once.
namespace SystemSetKeys {
inline const QString DataAccuracy = QStringLiteral("DataAccuracy");
inline const QString SystemLanguage = QStringLiteral("SystemLanguage");
inline const QString EmailAddress = QStringLiteral("EmailAddress");
inline const QString EmailInterval = QStringLiteral("EmailInterval");
inline const QString EmailAutoTrigger = QStringLiteral("EmailAutoTrigger");
inline const QString CalibrationDelay = QStringLiteral("CalibrationDelay");
inline const QString CalibrationTemp = QStringLiteral("CalibrationTemp");
inline const QString Switch_ChannelTypeSet = QStringLiteral("Switch_ChannelTypeSet");
inline const QString Switch_ChannelParameterSet = QStringLiteral("Switch_ChannelParameterSet");
inline const QString Switch_ChannelConfig = QStringLiteral("Switch_ChannelConfig");
inline const QString Switch_ChannelCalibration = QStringLiteral("Switch_ChannelCalibration");
inline const QString Switch_Notification = QStringLiteral("Switch_Notification");
inline const QString Switch_ExportADvanced = QStringLiteral("Switch_ExportADvanced");
inline const QString Switch_DeviceSupport = QStringLiteral("Switch_DeviceSupport");
inline const QString Switch_DeviceSet = QStringLiteral("Switch_DeviceSet");
}
