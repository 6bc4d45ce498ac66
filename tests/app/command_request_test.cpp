#include <gtest/gtest.h>

#include <string>

#include "app/comm/comm_clipboard.h"
#include "app/comm/command_request.h"
#include "app/comm/memory_mapped_clipboard.h"
#include "app/comm/serializable.h"
#include "tests/support/test_device.h"

namespace {

std::string narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

TEST(CommandRequest, RequestsAreSplitIntoTheirCommandsFields) {
    std::u16string const long_path = u"\\" + std::u16string(199, u'p');  // 200 characters
    struct Case {
        std::int32_t command;
        std::u16string text;
        std::u16string path;
        std::int32_t number;
        bool activate;
        bool well_formed;
    };
    Case const cases[] = {
        // What the plug-in's senders write.
        {0, u",n", u"", 0, false, true},
        {0, u"\\My Documents\\a b.wav,y", u"\\My Documents\\a b.wav", 0, true, true},
        {1, u",0,n", u"", 0, false, true},
        {1, u"\\Rec\\r.mp3,3,y", u"\\Rec\\r.mp3", 3, true, true},
        {1, u",-1,n", u"", -1, false, true},
        {4, u"\\t.wav,123456,n", u"\\t.wav", 123456, false, true},
        {4, u"\\t.wav,-2147483648,n", u"\\t.wav", -2147483647 - 1, false, true},
        {5, u"y", u"", 0, true, true},
        {6, u"n", u"", 0, false, true},
        {8, u"-1,n", u"", -1, false, true},
        {8, u"+1,n", u"", 1, false, true},
        {0, long_path + u",y", long_path, 0, true, true},
        // A path may hold commas: the fixed fields are read from the right.
        {0, u"\\a,b.wav,y", u"\\a,b.wav", 0, true, true},
        {4, u"\\My, Music\\t.wav,0,n", u"\\My, Music\\t.wav", 0, false, true},
        {1, u"\\x,5,y,3,y", u"\\x,5,y", 3, true, true},
        {1, u",,n", u"", 0, false, false},  // the number is empty
        // Hostile or broken requests.
        {0, u"\\a.wav", u"", 0, false, false},  // no comma before the flag
        {0, long_path + u"x,y", long_path, 0, true, false},  // a path of 201 is refused
        {2, u",y", u"", 0, true, false},  // recording into no file
        {3, u",n", u"", 0, false, false},
        {4, u",5,n", u"", 5, false, false},
        {1, u",12345678901234567890123,n", u"", 0, false, false},  // a number of 23
        {1, u",99999999999,n", u"", 0, false, false},  // beyond 32 bits
        {1, u",abc,n", u"", 0, false, false},
        {1, u",1x,n", u"", 0, false, false},
        {1, u"\\r.wav,y", u"", 0, true, false},  // the number is missing
        {8, u"- 1,n", u"", 0, false, false},
        {5, u"yes", u"", 0, true, false},
        {6, u"n,", u"", 0, false, false},
        {7, u"y", u"", 0, false, false},  // the status request takes no text
        {9, u",n", u"", 0, false, false},
        {-1, u",n", u"", 0, false, false},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(testing::Message() << c.command << " [" << narrow(c.text) << "]");
        CommandRequest const request = parse_command_request(c.command, c.text);
        EXPECT_EQ(request.well_formed, c.well_formed);
        EXPECT_EQ(request.path, c.path);
        EXPECT_EQ(request.number, c.number);
        EXPECT_EQ(request.activate, c.activate);
    }
}

TEST(CommandRequest, AFieldEndsAtItsLongestWhenNoCommaComesFirst) {
    bool rest_left = false;
    std::u16string const text = std::u16string(205, u'p') + u",1,y";
    auto const fields =
        split_request(text, {RequestField::path, RequestField::number, RequestField::flag}, rest_left);
    ASSERT_EQ(fields.size(), 3u);
    EXPECT_EQ(fields[0], std::u16string(200, u'p'));
    EXPECT_EQ(fields[1], u"ppppp");
    EXPECT_EQ(fields[2], u"1");
    EXPECT_TRUE(rest_left);
}

// What a handler does with the process's stack: pop the request, push the reply.
class CommandHandling : public testing_support::DeviceTest {
protected:
    CommandHandling() { CCommClipboard::install(new CCommMemoryMappedFilesClipboard(1028, u"CommandHandlingTest")); }
    ~CommandHandling() override { CCommClipboard::install(new CCommClipboard); }
};

TEST_F(CommandHandling, TheRequestIsPoppedAndTheReplyPushed) {
    CCommClipboard* const stack = CCommClipboard::instance();
    EXPECT_FALSE(pop_command_request(1));  // nothing there: the handler answers 0
    CSerializableString const text(u"\\Rec\\r.wav,5,y");
    ASSERT_TRUE(CCommClipboard::write_object(stack, &text));
    auto const request = pop_command_request(1);
    ASSERT_TRUE(request);
    EXPECT_TRUE(request->well_formed);
    EXPECT_EQ(request->path, u"\\Rec\\r.wav");
    EXPECT_EQ(request->number, 5);
    EXPECT_TRUE(request->activate);
    EXPECT_EQ(push_command_reply(true), 1u);
    CSerializableBool reply(false);
    ASSERT_TRUE(CCommClipboard::read_object(stack, &reply));
    EXPECT_TRUE(reply.get_value());
    char left;
    EXPECT_FALSE(stack->pop(&left, 1));
    CCommClipboard::install(new CCommClipboard);
    EXPECT_EQ(push_command_reply(true), 0u);  // a stack that takes nothing
}

}  // namespace
