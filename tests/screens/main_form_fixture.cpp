#include "tests/screens/main_form_fixture.h"

#include <filesystem>

#include "app/comm/comm_clipboard.h"
#include "app/comm/serializable.h"
#include "app/constants.h"
#include "foundation/paths.h"
#include "skin/form_impl.h"

namespace screens_test {

void put_staged_files(const testing_support::TestDevice& device) {
    std::filesystem::copy(SONBRIX_DATA_STAGE, device.fs(),
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
}

MainFormTest::MainFormTest() {
    put_staged_files(device);
    screen_ = std::make_unique<testing_support::TestScreen>();
}

MainFormTest::~MainFormTest() {
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

}  // namespace screens_test
