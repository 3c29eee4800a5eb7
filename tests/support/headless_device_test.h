// headless_device_test.h - a GTest fixture whose every test gets a fresh headless device.
#pragma once

#include "headless_device.h"

#include <gtest/gtest.h>

class HeadlessDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless_ = create_headless_device();
        device_ = headless_.device;
        ASSERT_NE(device_, nullptr);
    }
    void TearDown() override { release_headless_device(headless_); }

    headless_device headless_;
    IDirect3DDevice9* device_ = nullptr;
};
