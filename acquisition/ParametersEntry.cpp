#include "acquisition/ParametersEntry.h"

#include "acquisition/ParametersChannel.h"
#include "acquisition/ParametersImport.h"
#include "acquisition/ParametersMode.h"
#include "acquisition/ParametersOnLine.h"
#include "common/Struct_System.h"

#include <memory>

ParametersEntry::Steps ParametersEntry::defaultSteps()
{
    Steps steps;
    steps.mode = [](Struct_System *system, QWidget *parent) -> QDialog * {
        auto *dialog = new ParametersMode(parent);
        dialog->setParameters(system);
        return dialog;
    };
    steps.channel = [](Struct_System *system, QWidget *parent) -> QDialog * {
        auto *dialog = new ParametersChannel(parent);
        dialog->SetTable(system);
        return dialog;
    };
    steps.import = [](Struct_System *system, QWidget *parent) -> QDialog * {
        auto *dialog = new ParametersImport(parent);
        dialog->setParameters(system);
        return dialog;
    };
    steps.run = [](Struct_System *system, QWidget *) -> QDialog * {
        auto *dialog = new ParametersOnLine(nullptr);
        dialog->start(system);
        return dialog;
    };
    return steps;
}

bool ParametersEntry::isImport(const Struct_System &system)
{
    return system.ModeKey == ParametersMode::ModeImport;
}

ParametersEntry::Result ParametersEntry::run(Struct_System *system, QWidget *parent, const Steps &steps)
{
    using DialogPtr = std::unique_ptr<QDialog>;
    auto make = [system](const Factory &factory, QWidget *owner) {
        return DialogPtr(factory ? factory(system, owner) : nullptr);
    };

    DialogPtr mode = make(steps.mode, parent);
    if (!mode || mode->exec() != QDialog::Accepted)
        return SetupRejected;

    if (isImport(*system)) {
        DialogPtr import = make(steps.import, parent);
        if (!import)
            return ImportMissing;
        import->exec();
        return ImportFinished;
    }

    DialogPtr channel = make(steps.channel, parent);
    if (!channel || channel->exec() != QDialog::Accepted)
        return ChannelRejected;

    DialogPtr onLine = make(steps.run, nullptr);
    if (!onLine)
        return RunMissing;
    onLine->exec();
    return RunFinished;
}
