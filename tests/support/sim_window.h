#pragma once

#include "gui/form1.h"
#include "support/form1_harness.h"
#include "support/recording_ui.h"
#include "support/sim_core.h"

#include <memory>

// The main window over SimCore: the real serial stack, real timers and the
// simulated instrument on a pseudo-terminal.
struct SimWindow : SimCore, Form1Controls {
    explicit SimWindow(const sim::SimOptions &options = {}, int port = 3);
    ~SimWindow() override;

    // Once linked: Read, then the range from..to in the dialog, and OK.
    bool readRange(const QString &from, const QString &to, QString *why) override;

    RecordingUi dialogs;
    std::unique_ptr<Form1> form;
};
