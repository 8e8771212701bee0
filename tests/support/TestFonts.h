#pragma once
// The fonts the tests draw with, whatever fonts the machine has: a fontconfig
// configuration of the tests' own (FONTCONFIG_FILE) that lists only the fonts
// scripts/install-deps.sh installs, under Debian's usual rules, so that
// "Verdana", "Tahoma" and "Arial" resolve as on a plain Debian. The program's
// own fonts come in as the program registers them. RW_TEST_FONTS=noto adds
// the Noto fonts, which many desktops have and which then take "Verdana" and
// every script the others lack.
namespace rwtest {

// Writes the configuration and points fontconfig at it; before Qt, Pango or
// fontconfig initialise.
void PrepareTestFonts();

// In a test that checks text is drawn whole: runs the test again in a child
// process whose fonts add Noto and expects it to pass; the test goes on here.
// In that child, fails when Noto is not installed (the install script
// installs it) and returns.
void AlsoWithNotoFonts();

}  // namespace rwtest
