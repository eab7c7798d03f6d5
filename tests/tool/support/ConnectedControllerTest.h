// A test with a simulated controller on COM1 and the library's command port open on it.
#pragma once

#include "support/SimulatedController.h"

#include <Kelvane_Ravo_Q9T2.h>

#include <gtest/gtest.h>

class ConnectedControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        static const bool initialised = (Ravo_GlobalInit(), true);
        (void)initialised;
        ASSERT_EQ(Ravo_OpenSericalPort(1), RAVO_OK);
    }
    void TearDown() override { Ravo_CloseSericalPort(); }

    SimulatedController controller;
};
