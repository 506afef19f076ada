#pragma once
// One main window for a whole test suite, as the program starts it, with
// the commands the suite installs (`Derived::Install(frmMain&)`) and the
// dialogs it scripts. Starting the browser engine costs seconds, so the
// tests of a suite share the window.
#include <gtest/gtest.h>

#include "editor/main_window.h"
#include "shell/dialogs.h"
#include "support/gui_test_support.h"

namespace tarlo::test {

template <typename Derived>
class WindowSuite : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dialogs = new ScriptedDialogs;
        window = StartTestWindow(
            dialogs, [] {}, [](frmMain& w) { Derived::Install(w); });
    }
    static void TearDownTestSuite() {
        delete window;
        delete dialogs;
        window = nullptr;
        dialogs = nullptr;
    }
    // The refresh options off, as the code tests expect their text kept.
    static void PlainRefresh() {
        window->document().AutoFormat = false;
        window->document().AutoColorize = false;
    }

    static inline frmMain* window = nullptr;
    static inline ScriptedDialogs* dialogs = nullptr;
};

}  // namespace tarlo::test
