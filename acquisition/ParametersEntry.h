#pragma once

#include <QDialog>

#include <functional>

struct Struct_System;

// The acquisition entry: set-up, then either the record-file import or the channel table
// followed by the acquisition run. Each step is a modal dialog made by a factory and destroyed
// before the entry returns.
class ParametersEntry
{
public:
    // Makes the dialog of one step, already given the record; null when the step is not offered.
    using Factory = std::function<QDialog *(Struct_System *system, QWidget *parent)>;

    struct Steps {
        Factory mode;     // the set-up dialog
        Factory import;   // the record-file import
        Factory channel;  // the channel table
        Factory run;      // the acquisition run (made without a parent)
    };

    // How the entry ended.
    enum Result {
        SetupRejected,
        ImportFinished,   // the import ran (its result is not looked at)
        ImportMissing,    // import chosen, but no import dialog is offered
        ChannelRejected,
        RunFinished,
        RunMissing,       // channel table accepted, but no run dialog is offered
    };

    // The dialogs of this folder for every step.
    static Steps defaultSteps();

    // True when the set-up chose the import of record files. Decided on the untranslated mode
    // word, so a translation cannot change the road.
    static bool isImport(const Struct_System &system);

    static Result run(Struct_System *system, QWidget *parent, const Steps &steps = defaultSteps());
};
