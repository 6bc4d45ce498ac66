#include "tests/screens/main_form_fixture.h"

#include <filesystem>

#include "app/comm/comm_clipboard.h"
#include "app/comm/serializable.h"
#include "app/constants.h"
#include "foundation/paths.h"
#include "platform/messages.h"
#include "platform/timers.h"
#include "platform/windows.h"
#include "screens/message_forms.h"
#include "screens/settings_skin.h"
#include "skin/form_impl.h"
#include "skin/frame.h"

namespace screens_test {

namespace {

constexpr UINT_PTR answer_timer = 1;
std::vector<std::string>* answered = nullptr;

std::string narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

std::string frame_text(skinner::Form& form, const char16_t* name) {
    auto* const frame = dynamic_cast<skinner::ControlFrame*>(form.find_control(name));
    return frame ? narrow(frame->get_text()) : std::string();
}

LRESULT answer_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != WM_TIMER || wparam != answer_timer) return DefWindowProcW(window, message, wparam, lparam);
    auto* const error = dynamic_cast<screens::ErrorForm*>(skinner::Form::get_current_modal());
    if (error && answered) {
        answered->push_back(frame_text(*error, u"frmCaption") + " / " + frame_text(*error, u"frmMessage"));
        error->close();
    }
    return 0;
}

}  // namespace

void put_staged_files(const testing_support::TestDevice& device) {
    std::filesystem::copy(SONBRIX_DATA_STAGE, device.fs(),
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
}

MainFormTest::MainFormTest(bool shell) {
    put_staged_files(device);
    screen_ = std::make_unique<testing_support::TestScreen>("240x320", shell);
}

MainFormTest::~MainFormTest() {
    if (answers_) DestroyWindow(answers_);
    answered = nullptr;
    destroy_form();
    CCommClipboard::install(new CCommClipboard);
}

void MainFormTest::make_form(const Settings* settings) {
    if (settings) {
        ASSERT_TRUE(settings->save(os::join_path(u"%app_path%", u"Sonbrix.xml")));
    }
    document_ = std::make_unique<Document>();
    skin_ = std::make_unique<skinner::Properties>(constants::startup_globals().default_skin_path,
                                                  skinner::get_screen_size());
    ASSERT_TRUE(skin_->is_suitable(constants::skin_compatibility_name, skinner::get_screen_size()));
    ASSERT_TRUE(skin_->set_language(document_->get_settings().get_language_path()));
    ASSERT_TRUE(get_settings_skin().set_language(document_->get_settings().get_language_path()));
    form_ = std::make_unique<MainForm>(skin_.get(), u"Main");
}

void MainFormTest::destroy_form() {
    form_.reset();
    skin_.reset();
    document_.reset();
}

std::optional<bool> MainFormTest::request(std::uint32_t (MainForm::*handler)(), const std::u16string& text) {
    CCommClipboard* const stack = CCommClipboard::instance();
    CSerializableString const request_text(text.c_str());
    if (!CCommClipboard::write_object(stack, &request_text)) return std::nullopt;
    if ((form_.get()->*handler)() == 0) return std::nullopt;
    CSerializableBool reply;
    if (!CCommClipboard::read_object(stack, &reply)) return std::nullopt;
    return reply.get_value();
}

void MainFormTest::answer_error_forms() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = answer_procedure;
    window_class.lpszClassName = u"MainFormTestAnswers";
    RegisterClassW(&window_class);
    answers_ = CreateWindowExW(0, u"MainFormTestAnswers", u"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    answered = &errors_shown;
    SetTimer(answers_, answer_timer, 5, nullptr);
}

}  // namespace screens_test
