#pragma once

#include "common/TimingSeam.h"

// Fixed waits of the instrument communication core. The shipped program uses the values below;
// tests shorten them with CommTiming::set() before they open anything. Readers take a copy with
// CommTiming::get(), so a change never tears a record that another thread is reading.
struct CommTiming : TimingSeam<CommTiming> {
    int connectPolls = 40;        // tests of the open state while opening or closing
    int connectPollMs = 100;      // pause between two such tests
    int replyPollMs = 2;          // pause between two looks at the receive buffer
    int replyPolls = 500;         // looks at the receive buffer before a reply counts as missing
    int bleDiscoveryMs = 4000;    // how long opening a Bluetooth LE link searches for the device

    // Temperature sources (dry-well calibrators and baths).
    int bathConnectPolls = 120;   // tests of the open state while a bath opens
    int lineReplyPollMs = 10;     // pause between two looks for a reply line
    int dryWellReplyPolls = 300;  // looks before a dry-well reply counts as missing
    int bathReplyPolls = 600;     // looks before a bath reply counts as missing
    int dryWellPauseMs = 500;     // before the dry-well's set-up and after each set point

    // Reference thermometer.
    int thermometerPauseMs = 200; // before the start frame and after the stop frame
    int readingPollMs = 10;       // pause between two looks for a received reading
    int readingPolls = 1000;      // looks before a reading counts as missing
};
