// Skins for the tests: images compiled from short XML sources (pictures from the sample
// skin's folder), loaded in memory, with the reports caught instead of ending the run.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "skin/geometry.h"
#include "skin/properties.h"
#include "skin/properties_impl.h"
#include "skin/skin_report.h"
#include "skin/skin_work_area.h"
#include "tests/skin/caught_reports.h"

namespace skin_test {

// While it lives, the work area is the given size, whatever the screen.
class FixedWorkArea {
public:
    explicit FixedWorkArea(skinner::Size area);
    ~FixedWorkArea();

private:
    skinner::WorkAreaSource previous_;
};

std::string fixtures_folder();
std::string sample_folder();

// The body of a <skin> element (screens, pictures, fonts, forms, kinds) as an image; the
// test fails when it does not compile.
std::vector<std::uint8_t> compile(const std::string& body, const std::string& skin_attributes = "compatibility=\"Sonbrix_500\"");
// The whole XML text of a skin source with that body.
std::string source(const std::string& body, const std::string& skin_attributes = "compatibility=\"Sonbrix_500\"");

std::unique_ptr<skinner::PropertiesImpl> load(std::vector<std::uint8_t> image, skinner::Size screen = {240, 320});

// The report that the call raised; a test failure when it raised none.
template <class Call>
Report report_of(Call call) {
    try {
        call();
    } catch (const Report& report) {
        return report;
    }
    ADD_FAILURE() << "no report raised";
    return {};
}

std::string narrow(const std::u16string& text);

// The sample skin (tests/skin/fixtures/sample/sample.xml) compiled here.
std::vector<std::uint8_t> compile_sample();
std::string read_file(const std::string& path);

}  // namespace skin_test
