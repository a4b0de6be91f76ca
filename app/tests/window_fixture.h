#pragma once
// A shown wizard window with its timer stopped, so that a test drives every tick itself.

#include "app/banner_animation.h"
#include "app/main_window.h"
#include "core/run_state.h"
#include "core/switches.h"
#include "search/port_search.h"

#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace ob::testing {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        Banner = {};
        ob::Run = {};
        CommandLine.clear();
        Search = {};
        window = std::make_unique<TfmMain>();
        window->show();
        window->stopTimer();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    template <typename T> T* find(const char* name) const {
        T* found = window->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    QTabWidget* pages() const { return find<QTabWidget>("pgMain"); }
    QTabBar* tabs() const { return pages()->tabBar(); }

    std::unique_ptr<TfmMain> window;
};

} // namespace ob::testing
