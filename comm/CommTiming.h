#pragma once

// Fixed waits of the instrument communication core. The shipped program uses the values below;
// tests shorten them with CommTiming::set() before they open anything. Readers take a copy with
// CommTiming::get(), so a change never tears a record that another thread is reading.
struct CommTiming {
    int connectPolls = 40;        // tests of the open state while opening or closing
    int connectPollMs = 100;      // pause between two such tests
    int replyPollMs = 2;          // pause between two looks at the receive buffer
    int replyPolls = 500;         // looks at the receive buffer before a reply counts as missing
    int bleDiscoveryMs = 4000;    // how long opening a Bluetooth LE link searches for the device

    static CommTiming get();
    static void set(const CommTiming &timing);
    // Back to the shipped values.
    static void reset();
};
