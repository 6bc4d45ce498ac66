#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/schedule.h"
#include "foundation/xml_node.h"
#include "tests/support/system_time.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::make_time;

// Times on 9 March 2007.
os::DateTime at(int hour, int minute = 0) { return os::DateTime(make_time(2007, 3, 9, hour, minute)); }

ScheduleTask task(int begin_hour, int begin_minute, int end_hour, int end_minute) {
    return ScheduleTask(make_time(2007, 3, 9, begin_hour, begin_minute), make_time(2007, 3, 9, end_hour, end_minute));
}

// Begin and end of each task as "hh:mm-hh:mm".
std::vector<std::string> spans(const Schedule& schedule) {
    auto two = [](int n) { return std::string(1, char('0' + n / 10)) + char('0' + n % 10); };
    std::vector<std::string> out;
    for (auto const& t : schedule) {
        out.push_back(two(t.Begin.get_hour()) + ":" + two(t.Begin.get_minute()) + "-" + two(t.End.get_hour()) + ":" +
                      two(t.End.get_minute()));
    }
    return out;
}

Schedule ten_and_twelve() {
    Schedule schedule;
    EXPECT_EQ(schedule.insert(task(12, 0, 13, 0)), 0);
    EXPECT_EQ(schedule.insert(task(10, 0, 11, 0)), 0);
    return schedule;
}

TEST(Schedule, InsertKeepsTheListSortedAndRefusesOverlaps) {
    struct Case {
        const char* what;
        ScheduleTask task;
        int index;
    };
    Case const cases[] = {
        {"fills the gap, touching both neighbours", task(11, 0, 12, 0), 1},
        {"reaches into the next task", task(11, 30, 12, 30), -1},
        {"starts inside the previous task", task(9, 30, 10, 30), -1},
        {"ends where the first begins", task(9, 0, 10, 0), 0},
        {"begins where the last ends", task(13, 0, 14, 0), 2},
        {"lies inside a task", task(10, 15, 10, 45), -1},
        {"covers a task", task(9, 0, 14, 0), -1},
        {"begins with a task", task(12, 0, 12, 30), -1},
    };
    for (auto const& c : cases) {
        Schedule schedule = ten_and_twelve();
        EXPECT_EQ(schedule.insert(c.task), c.index) << c.what;
        EXPECT_EQ(schedule.size(), c.index < 0 ? 2u : 3u) << c.what;
        if (c.index >= 0) {
            EXPECT_EQ(schedule[static_cast<std::size_t>(c.index)].Begin, c.task.Begin) << c.what;
        }
    }
}

TEST(Schedule, FindsTheTaskAtATimeAndTheNextOne) {
    Schedule const schedule = ten_and_twelve();
    struct Case {
        os::DateTime time;
        int at;
        int next;
    };
    Case const cases[] = {
        {at(9, 59), -1, 0}, {at(10, 0), 0, 1},  {at(10, 59), 0, 1}, {at(11, 0), -1, 1},
        {at(12, 0), 1, -1}, {at(13, 0), -1, -1}, {at(14, 0), -1, -1},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(testing::Message() << c.time.get_hour() << ":" << c.time.get_minute());
        EXPECT_EQ(schedule.find_task_at(c.time), c.at);
        EXPECT_EQ(schedule.find_next_task(c.time), c.next);
    }
    EXPECT_EQ(Schedule().find_task_at(at(10)), -1);
    EXPECT_EQ(Schedule().find_next_task(at(10)), -1);
}

TEST(Schedule, RemoveAndClear) {
    Schedule schedule = ten_and_twelve();
    schedule.remove(5);
    schedule.remove(-1);
    EXPECT_EQ(schedule.size(), 2u);
    schedule.remove(0);
    EXPECT_EQ(spans(schedule), std::vector<std::string>{"12:00-13:00"});
    schedule.clear();
    EXPECT_TRUE(schedule.empty());
}

class ScheduleFile : public testing_support::DeviceTest {
protected:
    // The "Schedule" element of a file holding the given children.
    os::XmlNode element_with(const std::string& children) {
        testing_support::write_host_file(device.host_path("schedule.xml"),
                                         "<Settings><Schedule>" + children + "</Schedule></Settings>");
        document_ = os::XmlNode::load_document(u"\\schedule.xml");
        return document_.find_child(u"Settings").find_child(u"Schedule");
    }

private:
    os::XmlNode document_;
};

TEST_F(ScheduleFile, SavesTasksAsTextAndReadsThemBack) {
    Schedule schedule;
    schedule.insert(ScheduleTask(make_time(2007, 3, 9, 14, 5, 0), make_time(2007, 3, 9, 15, 30, 7)));
    schedule.insert(ScheduleTask(make_time(2008, 12, 31, 23, 59, 59), make_time(2009, 1, 1, 0, 30, 0)));

    os::XmlNode const document = os::XmlNode::create_document();
    os::XmlNode const node = document.append_element(u"Schedule");
    schedule.save(node);
    ASSERT_TRUE(document.save_document(u"\\saved.xml"));

    ASSERT_EQ(node.get_child_count(), 2);
    std::u16string text;
    EXPECT_EQ(node.get_child(0).get_name(), u"Task");
    ASSERT_TRUE(node.get_child(0).get_attribute(u"Begin", text));
    EXPECT_EQ(text, u"2007 03 09 14 05 00");
    ASSERT_TRUE(node.get_child(1).get_attribute(u"End", text));
    EXPECT_EQ(text, u"2009 01 01 00 30 00");

    Schedule read;
    read.load(os::XmlNode::load_document(u"\\saved.xml").find_child(u"Schedule"));
    ASSERT_EQ(read.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(read[i].Begin, schedule[i].Begin);
        EXPECT_EQ(read[i].End, schedule[i].End);
    }
}

TEST_F(ScheduleFile, LoadingSortsAndLeavesOutWhatCannotStand) {
    auto t = [](const char* begin, const char* end) {
        return std::string("<Task Begin=\"2007 03 09 ") + begin + " 00\" End=\"2007 03 09 " + end + " 00\"/>";
    };
    struct Case {
        const char* what;
        std::string children;
        std::vector<std::string> spans;
    };
    Case const cases[] = {
        {"out of order", t("12 00", "13 00") + t("10 00", "11 00"), {"10:00-11:00", "12:00-13:00"}},
        {"overlapping: the earlier stays", t("10 30", "12 00") + t("10 00", "11 00"), {"10:00-11:00"}},
        {"same begin: the first in the file stays", t("10 00", "11 00") + t("10 00", "10 30"), {"10:00-11:00"}},
        {"touching", t("11 00", "12 00") + t("10 00", "11 00"), {"10:00-11:00", "11:00-12:00"}},
        {"inverted", t("12 00", "11 00") + t("09 00", "10 00"), {"09:00-10:00"}},
        {"empty", t("12 00", "12 00"), {}},
        {"without End", "<Task Begin=\"2007 03 09 10 00 00\"/>" + t("12 00", "13 00"), {"12:00-13:00"}},
        {"not a date", "<Task Begin=\"2007 13 45 10 00 00\" End=\"2007 03 09 11 00 00\"/>", {}},
        {"not numbers", "<Task Begin=\"soon\" End=\"later\"/>", {}},
        {"other element names count", "<Entry Begin=\"2007 03 09 10 00 00\" End=\"2007 03 09 11 00 00\"/>",
         {"10:00-11:00"}},
        {"text between tasks", "text" + t("10 00", "11 00") + "<!-- note -->", {"10:00-11:00"}},
    };
    for (auto const& c : cases) {
        Schedule schedule = ten_and_twelve();
        schedule.load(element_with(c.children));
        EXPECT_EQ(spans(schedule), c.spans) << c.what;
    }
}

TEST_F(ScheduleFile, LoadingAMissingElementEmptiesTheList) {
    Schedule schedule = ten_and_twelve();
    schedule.load(os::XmlNode());
    EXPECT_TRUE(schedule.empty());
}

}  // namespace
