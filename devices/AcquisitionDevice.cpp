#include "devices/AcquisitionDevice.h"

#include "drivers/CollectionRecordFile.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>

namespace {
struct Registry {
    QMutex mutex;
    QHash<QString, AcquisitionDevice::Creator> registered;
    QHash<QString, AcquisitionDevice::Creator> builtIn;

    Registry()
    {
        const QStringList models = CollectionRecordFile::Models();
        for (const QString &model : models)
            builtIn.insert(model, []() -> Collection * { return new CollectionRecordFile; });
    }
};

Registry &registry()
{
    static Registry instance;
    return instance;
}
}

Collection *AcquisitionDevice::CreateCollection(const QString &model)
{
    Creator creator;
    {
        Registry &r = registry();
        QMutexLocker lock(&r.mutex);
        creator = r.registered.value(model, r.builtIn.value(model));
    }
    return creator ? creator() : nullptr;
}

void AcquisitionDevice::RegisterModel(const QString &model, const Creator &creator)
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    r.registered.insert(model, creator);
}

void AcquisitionDevice::UnregisterModel(const QString &model)
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    r.registered.remove(model);
}
