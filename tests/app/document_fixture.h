// A Document on the virtual sound device in a private device folder, with the program's
// folder in place and helpers to run its timer step until something happens.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/document.h"
#include "foundation/paths.h"
#include "tests/support/eventually.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/system_time.h"
#include "tests/support/virtual_wave.h"

namespace testing_support {

class RecordingView : public Document::View {
public:
    void on_document_changed(const Change& change) override { changes.push_back(change); }
    std::vector<Change> changes;
};

class DocumentFixture : public VirtualWaveTest {
protected:
    DocumentFixture() { std::filesystem::create_directories(device.host_path("Program Files/Sonbrix")); }

    static void store_settings(const Settings& settings) {
        ASSERT_TRUE(settings.save(os::join_path(u"%app_path%", u"Sonbrix.xml")));
    }
    static os::DateTime at(int year, int month, int day, int hour = 0, int minute = 0) {
        return os::DateTime(make_time(year, month, day, hour, minute));
    }
    static bool wait_until(const std::function<bool()>& condition) { return eventually(condition); }

    ScopedEnvironment module{"SONBRIX_MODULE", "\\Program Files\\Sonbrix\\Sonbrix.exe"};
};

}  // namespace testing_support
