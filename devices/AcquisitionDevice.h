#pragma once

#include <QString>

#include <functional>

class Collection;

// The driver factory: turns a model name into a new driver object.
//
// Built-in models are the record-file import models (CollectionRecordFile::Models()). Further
// creators can be registered under a model name (tests register scripted drivers this way); a
// registered creator takes precedence over a built-in one of the same name until it is
// unregistered. Model names compare exactly, case included.
class AcquisitionDevice
{
public:
    using Creator = std::function<Collection *()>;

    // A new driver for the model, owned by the caller; nullptr for a model without a driver.
    static Collection *CreateCollection(const QString &model);

    // Registers (or replaces) the creator of a model.
    static void RegisterModel(const QString &model, const Creator &creator);
    // Removes a creator registered with RegisterModel; built-in models stay.
    static void UnregisterModel(const QString &model);
};
