// The program's own skins and language file as the build stages them, put on a test device,
// and what the screens need of them.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "skin/geometry.h"
#include "skin/skin_report.h"
#include "skin/skin_work_area.h"
#include "tests/skin/caught_reports.h"
#include "tests/support/test_device.h"
#include "tools/skin_compiler/skin_source.h"

namespace data_test {

// Reports of the skin reader are caught as the skin tests catch them.
using skin_test::CaughtReports;
using skin_test::Report;

// The device's rule: 26-pixel bars above and below the forms, 52 on a VGA screen.
skinner::Size work_area_of(skinner::Size screen);

class DeviceWorkArea {
public:
    DeviceWorkArea();
    ~DeviceWorkArea();

private:
    skinner::WorkAreaSource previous_;
};

struct ShippedSkin {
    std::string source;           // below data/skins/
    std::u16string device_path;   // where it is installed
    std::u16string compatibility;
};

const std::vector<ShippedSkin>& shipped_skins();
// The screens the skins are made for.
const std::vector<skinner::Size>& screens();

// The source of a shipped skin, read by the skin compiler's reader.
skin_compiler::SkinSource read_source(const std::string& source);
std::string source_folder();  // data/ of the source tree
std::string stage_folder();   // the device files the build staged

// A test device holding the staged files.
class StagedDeviceTest : public testing_support::DeviceTest {
protected:
    void SetUp() override;
};

std::u16string widen(const std::string& text);
std::string narrow(const std::u16string& text);
std::string read_file(const std::string& path);

}  // namespace data_test
