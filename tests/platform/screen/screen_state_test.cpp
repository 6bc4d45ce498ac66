// The screen's bookkeeping without processes: z-order placement and what idle means when a
// client's queue drops events.
#include <gtest/gtest.h>

#include <vector>

#include "platform/linux/screen/screen_state.h"

namespace screen_tests {
namespace {

using namespace platform::screen;


Request create(std::uint64_t window, std::uint64_t insert_after = place_top) {
    Request request;
    request.type = MessageType::create_surface;
    request.window = window;
    request.rect = {0, 0, 10, 10};
    request.flag = true;
    request.other = insert_after;
    return request;
}

// The windows top first, as the list reports them.
std::vector<std::uint64_t> z_order(const ScreenState& state) {
    auto const message = state.windows_message();
    MessageReader in(std::string_view(message).substr(header_bytes));
    std::uint32_t count = 0;
    in.u32(count);
    std::vector<std::uint64_t> windows;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t pid;
        std::uint64_t window, focus;
        std::string text;
        ScreenRect rect;
        bool flag;
        in.u32(pid), in.u64(window), in.text(text), in.text(text), in.rect(rect), in.flag(flag), in.flag(flag),
            in.flag(flag), in.u64(focus);
        windows.push_back(window);
    }
    return windows;
}

struct PlacementCase {
    const char* name;
    std::uint64_t insert_after;  // where window 40 goes among 30 (top), 20, 10 (bottom)
    std::vector<std::uint64_t> expected;
};

class Placement : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(Placement, PutsTheWindowWhereAsked) {
    ScreenState state({240, 320, 96}, [](LinkId, std::string) { return true; });
    state.add_link(1, 1, Role::client);
    for (std::uint64_t window : {10, 20, 30})
        ASSERT_TRUE(state.handle(1, create(window), std::make_unique<MemoryPixels>(10, 10)));
    ASSERT_TRUE(state.handle(1, create(40, GetParam().insert_after), std::make_unique<MemoryPixels>(10, 10)));
    EXPECT_EQ(z_order(state), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, Placement,
                         ::testing::Values(PlacementCase{"top", place_top, {40, 30, 20, 10}},
                                           PlacementCase{"bottom", place_bottom, {30, 20, 10, 40}},
                                           PlacementCase{"below_the_top", 30, {30, 40, 20, 10}},
                                           PlacementCase{"below_the_bottom", 10, {30, 20, 10, 40}},
                                           PlacementCase{"below_an_unknown_window", 99, {40, 30, 20, 10}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ScreenState, AnEventTheClientsQueueDroppedIsNotWaitedFor) {
    bool full = false;
    ScreenState state({240, 320, 96}, [&](LinkId, std::string) { return !full; });
    state.add_link(1, 1, Role::client);
    ASSERT_TRUE(state.handle(1, create(10), std::make_unique<MemoryPixels>(10, 10)));
    state.compose();
    full = true;
    state.route({platform::display::InputKind::stylus_down, 5, 5, 0, 0});
    EXPECT_TRUE(state.idle());
    full = false;
    state.route({platform::display::InputKind::stylus_up, 5, 5, 0, 0});
    EXPECT_FALSE(state.idle());
    Request handled;
    handled.type = MessageType::report_idle;
    handled.other = 1;
    ASSERT_TRUE(state.handle(1, handled, nullptr));
    EXPECT_TRUE(state.idle());
}

TEST(ScreenState, AGoneWindowHoldsNeitherForegroundNorCaptureNorTheStylus) {
    std::vector<std::string> sent;
    ScreenState state({240, 320, 96}, [&](LinkId, std::string message) {
        sent.push_back(std::move(message));
        return true;
    });
    state.add_link(1, 1, Role::client);
    state.add_link(2, 2, Role::client);
    ASSERT_TRUE(state.handle(1, create(10), std::make_unique<MemoryPixels>(10, 10)));
    ASSERT_TRUE(state.handle(2, create(20, place_bottom), std::make_unique<MemoryPixels>(10, 10)));
    Request request;
    request.window = 10;
    for (auto type : {MessageType::set_foreground, MessageType::set_capture}) {
        request.type = type;
        ASSERT_TRUE(state.handle(1, request, nullptr));
    }
    state.route({platform::display::InputKind::stylus_down, 5, 5, 0, 0});
    state.remove_link(1);
    sent.clear();
    // The stylus goes up over window 20 and a key is pressed: neither reaches it as a
    // left-over of window 10's capture, drag or foreground.
    state.route({platform::display::InputKind::stylus_up, 5, 5, 0, 0});
    state.route({platform::display::InputKind::key_down, 0, 0, 'A', u'a'});
    EXPECT_TRUE(sent.empty());
    state.route({platform::display::InputKind::stylus_down, 5, 5, 0, 0});
    EXPECT_EQ(sent.size(), 1u);
}

TEST(ScreenState, TheSizeKeyResizesTheScreenAndTellsEveryLink) {
    std::vector<LinkId> told;
    ScreenState state({240, 320, 96}, [&](LinkId link, std::string message) {
        if (message.size() >= header_bytes && message[0] == static_cast<char>(MessageType::size_changed)) told.push_back(link);
        return true;
    });
    state.add_link(1, 1, Role::client);
    state.add_link(2, 2, Role::control);
    state.compose();
    state.route({platform::display::InputKind::next_size, 0, 0, 0, 0});
    EXPECT_EQ(state.mode().width, 480);
    EXPECT_EQ(state.mode().dpi, 192);
    EXPECT_EQ(told, (std::vector<LinkId>{1, 2}));
    EXPECT_TRUE(state.needs_compose());
    EXPECT_EQ(state.frame().width, 480);
}

TEST(ScreenState, TheRingOfAHeldTapGoesWithTheProgramThatShowedIt) {
    ScreenState state({240, 320, 96}, [](LinkId, std::string) { return true; }, true);
    state.add_link(1, 100, Role::client);
    Request cue;
    cue.type = MessageType::hold_cue;
    cue.x = 120;
    cue.y = 160;
    cue.id = 8;
    ASSERT_TRUE(state.handle(1, cue, nullptr));
    state.compose();
    auto const top_dot = [&] { auto const frame = state.frame(); return frame.pixels[146 * frame.stride + 120] & 0xFFFFFF; };
    EXPECT_NE(top_dot(), 0u) << "the ring's top dot";
    state.remove_link(1);  // the program ended while the stylus was held
    state.compose();
    EXPECT_EQ(top_dot(), 0u);
}

}  // namespace
}  // namespace screen_tests
