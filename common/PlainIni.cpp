#include "common/PlainIni.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QVector>

namespace {
const qint64 kMaxFileBytes = 1024 * 1024;
}

QHash<QString, QString> readPlainIni(const QString &path)
{
    QHash<QString, QString> values;
    const QFileInfo info(path);
    if (!info.exists())
        return values;
    if (!info.isFile()) {
        qWarning().noquote() << QStringLiteral("设置文件不是普通文件，未读取: ") + path;
        return values;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning().noquote() << QStringLiteral("设置文件无法读取: ") + path + QStringLiteral(" ") + file.errorString();
        return values;
    }
    // One byte beyond the limit tells a file of exactly the limit from a larger one.
    QByteArray content = file.read(kMaxFileBytes + 1);
    if (content.size() > kMaxFileBytes) {
        qWarning().noquote() << QStringLiteral("设置文件过大，未读取: ") + path;
        return values;
    }
    if (content.startsWith("\xEF\xBB\xBF"))
        content.remove(0, 3);

    const QString text = QString::fromUtf8(content);
    QString group;
    const QVector<QStringRef> lines = text.splitRef(QLatin1Char('\n'));
    for (QStringRef line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            group = line.mid(1, line.size() - 2).trimmed().toString();
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        const QString key = line.left(qMax(equals, 0)).trimmed().toString();
        if (key.isEmpty())
            continue;
        values.insert(group.isEmpty() ? key : group + QLatin1Char('/') + key,
                      line.mid(equals + 1).trimmed().toString());
    }
    return values;
}
