// main() of the widget test programs: headless by default, one application for all cases, set up
// as the tool sets up its own (name, font, icon).
#include "shell/CKelvaneRavoToolsApp.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);  // keep a caller's choice (xvfb, a real display)
    CKelvaneRavoToolsApp app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
