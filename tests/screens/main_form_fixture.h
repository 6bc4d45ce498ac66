// The main form inside the test process: a device holding the staged skins, a headless
// screen, the virtual sound device, the Document, the main skin and the form.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/document.h"
#include "screens/main_form.h"
#include "skin/properties.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/test_device.h"
#include "tests/support/test_screen.h"

namespace screens_test {

// Copies the files the build staged for the device (skins, language, help) into it.
void put_staged_files(const testing_support::TestDevice& device);

class MainFormTest : public testing_support::DeviceTest {
protected:
    // shell: the screen shows the shell's bars (and the input-panel button) around the form.
    explicit MainFormTest(bool shell = false);
    ~MainFormTest() override;
    // Makes the Document (with these settings stored first, when given) and the form.
    void make_form(const Settings* settings = nullptr);
    void destroy_form();

    Document& document() { return *document_; }
    MainForm& form() { return *form_; }
    // A request text pushed onto the channel's stack, the handler run, its Bool reply popped;
    // nothing when the handler pushed none.
    std::optional<bool> request(std::uint32_t (MainForm::*handler)(), const std::u16string& text);

    // Every error form shown from now on is read and closed from inside its own modal loop,
    // as a user taps its OK; what it said is kept here, "caption / message".
    void answer_error_forms();
    std::vector<std::string> errors_shown;

    testing_support::ScopedEnvironment audio_{"SONBRIX_AUDIO", "virtual"};
    testing_support::ScopedEnvironment input_{"SONBRIX_AUDIO_INPUT", "tone:440"};
    testing_support::ScopedEnvironment module_{"SONBRIX_MODULE", "\\Program Files\\Sonbrix\\Sonbrix.exe"};
    std::unique_ptr<testing_support::TestScreen> screen_;
    std::unique_ptr<Document> document_;
    std::unique_ptr<skinner::Properties> skin_;
    std::unique_ptr<MainForm> form_;
    HWND answers_ = nullptr;
};

}  // namespace screens_test
