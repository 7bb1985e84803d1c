#pragma once

// Process-wide set-up shared by the program and the tests: the compiled-in resource bundle
// and the font mapping for Chinese texts.
class AppSetup
{
public:
    // Registers the ":/HKRQ5713/..." images of the static library; safe to call more than once.
    static void initResources();
    // Maps the font family "宋体" to the installed Chinese font.
    static void installFontSubstitution();
};
