#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <set>
#include <vector>

#include "app/document.h"
#include "foundation/paths.h"
#include "platform/cursors.h"
#include "platform/wake_up.h"
#include "platform/wake_up_testing.h"
#include "tests/support/eventually.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/system_time.h"
#include "tests/support/virtual_wave.h"
#include "tests/support/woken_program.h"

namespace {

using testing_support::make_time;

constexpr char16_t const* program = u"\\Program Files\\Sonbrix\\Sonbrix.exe";

class RecordingView : public Document::View {
public:
    void on_document_changed(const Change& change) override { changes.push_back(change); }
    std::vector<Change> changes;
};

class DocumentTest : public testing_support::VirtualWaveTest {
protected:
    DocumentTest() { std::filesystem::create_directories(device.host_path("Program Files/Sonbrix")); }

    // Saves the settings where the Document reads them.
    static void store_settings(const Settings& settings) {
        ASSERT_TRUE(settings.save(os::join_path(u"%app_path%", u"Sonbrix.xml")));
    }
    static Settings stored_settings() {
        Settings settings;
        settings.load(os::join_path(u"%app_path%", u"Sonbrix.xml"));
        return settings;
    }
    static os::DateTime at(int year, int month, int day, int hour = 0, int minute = 0) {
        return os::DateTime(make_time(year, month, day, hour, minute));
    }

    testing_support::ScopedEnvironment module{"SONBRIX_MODULE", "\\Program Files\\Sonbrix\\Sonbrix.exe"};
};

TEST_F(DocumentTest, TheFirstNotificationCarriesEverythingAndTheNextOnlyWhatItIsGiven) {
    Document document;
    RecordingView view;
    document.notify(Change());
    document.notify(Change(false, true, false, false));
    ASSERT_EQ(view.changes.size(), 2u);
    Change const& first = view.changes[0];
    EXPECT_TRUE(first.file_changed && first.position_changed && first.state_changed && first.volume_changed);
    Change const& second = view.changes[1];
    EXPECT_FALSE(second.file_changed || second.state_changed || second.volume_changed);
    EXPECT_TRUE(second.position_changed);
}

TEST_F(DocumentTest, MarkedChangesReachTheViewsAtTheNextNotification) {
    Document document;
    RecordingView view;
    document.notify(Change());
    document.set_volume(0.25);
    Change given(true, false, false, false);
    given.text = u"ignored";
    document.notify(given);
    ASSERT_EQ(view.changes.size(), 2u);
    EXPECT_TRUE(view.changes[1].volume_changed);
    EXPECT_TRUE(view.changes[1].file_changed);
    EXPECT_FALSE(view.changes[1].state_changed);
    EXPECT_TRUE(view.changes[1].text.empty());  // only the Document's own text travels
    EXPECT_DOUBLE_EQ(document.get_volume(), 0.25);
}

TEST_F(DocumentTest, AViewHearsOnlyWhileItLives) {
    Document document;
    RecordingView early;
    {
        RecordingView late;
        document.notify(Change());
        EXPECT_EQ(late.changes.size(), 1u);
    }
    document.notify(Change());
    EXPECT_EQ(early.changes.size(), 2u);
}

TEST_F(DocumentTest, ASecondDocumentIsFatal) {
    GTEST_FLAG_SET(death_test_style, "fast");
    Document document;
    EXPECT_EXIT({ Document second; }, testing::ExitedWithCode(0), "Document is already instantiated");
}

TEST_F(DocumentTest, InstanceIsSetOnlyWhileTheDocumentLives) {
    EXPECT_EQ(Document::instance(), nullptr);
    {
        Document document;
        EXPECT_EQ(Document::instance(), &document);
    }
    EXPECT_EQ(Document::instance(), nullptr);
}

TEST_F(DocumentTest, OnlyActiveEqualizerBandsSitBetweenThePlayInputAndFastPlay) {
    struct Case {
        bool band1, band2, band3;
    };
    for (Case const c : {Case{false, false, false}, Case{false, true, false}, Case{true, false, true},
                         Case{true, true, true}}) {
        Settings settings;
        settings.equalizer1.active = c.band1;
        settings.equalizer2.active = c.band2;
        settings.equalizer3.active = c.band3;
        store_settings(settings);
        Document document;
        std::vector<audio::Consumer<audio::PCMData>*> expected;
        for (int band = 0; band < 3; ++band) {
            if ((band == 0 && c.band1) || (band == 1 && c.band2) || (band == 2 && c.band3)) {
                expected.push_back(&document.get_equalizer(band));
            }
        }
        expected.push_back(&document.get_fast_play());
        std::vector<audio::Consumer<audio::PCMData>*> chain;
        audio::Provider<audio::PCMData>* stage = &document.get_play_input();
        while (auto* const next = stage->get_consumer()) {
            chain.push_back(next);
            if (next == &document.get_fast_play()) break;
            stage = dynamic_cast<audio::Provider<audio::PCMData>*>(next);
        }
        EXPECT_EQ(chain, expected) << c.band1 << c.band2 << c.band3;
    }
}

TEST_F(DocumentTest, ConstructionAppliesTheStoredSettingsToTheGraph) {
    Settings settings;
    settings.play.volume = 0.5;
    settings.play.speed = 0.6;
    settings.play.pitch_lock = true;
    settings.record.input = 0.8;
    settings.play.booster = 2;
    store_settings(settings);
    Document document;
    EXPECT_DOUBLE_EQ(document.get_volume(), 0.5);
    EXPECT_DOUBLE_EQ(document.get_speed(), 0.5);
    EXPECT_EQ(document.get_stretch_filter().get_factor(), 2u);
    EXPECT_DOUBLE_EQ(document.get_input_gain(), 0.8);
    EXPECT_FALSE(document.get_level_filter().is_pass_through());
    EXPECT_TRUE(document.is_input_active());
}

TEST_F(DocumentTest, SpeedWithPitchLockSnapsToTheStretchSteps) {
    struct Case {
        double speed;
        bool pitch_lock;
        double stored;
        std::uint32_t factor;
        double fast_speed;
    };
    Case const cases[] = {
        {0.75, true, 0.75, 1, 1.0}, {0.7, true, 0.5, 2, 1.0}, {0.8, true, 1.0, 1, 1.0},
        {1.5, true, 1.0, 1, 1.0},   {0.7, false, 0.7, 1, 0.7}, {1.5, false, 1.5, 1, 1.5},
    };
    Document document;
    for (Case const& c : cases) {
        document.set_speed(c.speed, c.pitch_lock);
        EXPECT_DOUBLE_EQ(document.get_speed(), c.stored) << c.speed << " " << c.pitch_lock;
        EXPECT_EQ(document.get_stretch_filter().get_factor(), c.factor) << c.speed << " " << c.pitch_lock;
        EXPECT_DOUBLE_EQ(document.get_fast_play().get_speed(), c.fast_speed) << c.speed << " " << c.pitch_lock;
        EXPECT_EQ(document.get_settings().play.pitch_lock, c.pitch_lock);
    }
}

TEST_F(DocumentTest, LevelFilterLevelsAreSavedAndOutOfRangeLevelsPassTheSoundThrough) {
    Document document;
    document.set_booster(3);
    EXPECT_FALSE(document.get_level_filter().is_pass_through());
    EXPECT_EQ(stored_settings().play.booster, 3);
    document.set_booster(0);
    EXPECT_TRUE(document.get_level_filter().is_pass_through());
    document.set_noise(7);  // no such level: treated as none
    document.set_limiter(-1);
    EXPECT_TRUE(document.get_level_filter().is_pass_through());
}

TEST_F(DocumentTest, InputControlsReachTheRecordGraph) {
    Document document;
    document.set_input_enabled(false);
    EXPECT_TRUE(document.get_muter().is_muted());
    EXPECT_FALSE(document.is_input_active());
    document.set_input_enabled(true);
    EXPECT_TRUE(document.is_input_active());
    document.set_input(0.3);
    EXPECT_DOUBLE_EQ(document.get_input_gain(), 0.3);
    document.set_vas_on(true);
    document.set_vas_threshold(0.2);
    EXPECT_TRUE(document.is_vas_on());
    EXPECT_DOUBLE_EQ(document.get_vas_threshold(), 0.2);
}

TEST_F(DocumentTest, SettingsAreSavedOnSetAndWhenTheDocumentGoes) {
    {
        Document document;
        Settings changed = document.get_settings();
        changed.record.prefix = u"memo";
        document.set_settings(changed);
        EXPECT_EQ(stored_settings().record.prefix, u"memo");
        document.set_volume(0.125);
    }
    EXPECT_DOUBLE_EQ(stored_settings().play.volume, 0.125);
}

// ---- Play order ------------------------------------------------------------------------

TEST(PlayOrderTest, ShuffleMakesFivePermutationsStartingAtTheStartIndex) {
    for (int start : {0, 1, 2}) {
        PlayOrder order;
        order.rebuild(3, start, play_playlist_shuffle);
        ASSERT_EQ(order.count, 15);
        ASSERT_EQ(order.order.size(), 15u);
        EXPECT_EQ(order.order.front(), start);
        for (int round = 0; round < 5; ++round) {
            std::set<int> const block(order.order.begin() + round * 3, order.order.begin() + round * 3 + 3);
            EXPECT_EQ(block, (std::set<int>{0, 1, 2}));
        }
        EXPECT_TRUE(order.repeat);
        EXPECT_EQ(order.place, 0);
    }
}

TEST(PlayOrderTest, StepsWrapOnlyWhenRepeating) {
    struct Case {
        int mode;
        int from;
        int delta;
        int index;
        int place;
    };
    Case const cases[] = {
        {play_playlist_repeat, 2, +1, 0, 3},  {play_playlist_repeat, 0, -1, 0, 0},
        {play_playlist_once, 2, +1, 2, 2},    {play_playlist_once, 0, -1, 0, 0},
        {play_single_once, 1, +1, 2, 2},      {play_playlist_repeat, 1, +7, 2, 8},
    };
    for (Case const& c : cases) {
        PlayOrder order;
        order.rebuild(3, c.from, c.mode);
        EXPECT_EQ(order.step(c.delta), c.index) << c.mode << " " << c.from << " " << c.delta;
        EXPECT_EQ(order.place, c.place) << c.mode << " " << c.from << " " << c.delta;
    }
    PlayOrder empty;
    empty.rebuild(0, 0, play_playlist_repeat);
    EXPECT_EQ(empty.step(1), 0);
    EXPECT_FALSE(empty.has_next());
}

TEST(PlayOrderTest, ReapplyingAModeKeepsTheCurrentEntryFirst) {
    PlayOrder order;
    order.rebuild(4, 2, play_playlist_once);
    order.reapply(play_playlist_shuffle);
    EXPECT_EQ(order.order.front(), 2);
    EXPECT_EQ(order.count, 20);
    order.step(3);
    int const current = order.order[3];
    order.reapply(play_playlist_once);
    EXPECT_EQ(order.place, current);
    EXPECT_FALSE(order.repeat);
}

// ---- Recording folder ------------------------------------------------------------------

TEST_F(DocumentTest, RecordingFolderFollowsTheSettings) {
    struct Case {
        bool default_folder;
        bool date_folder;
        std::u16string expected;
    };
    Case const cases[] = {
        {false, false, u"\\Given"},
        {false, true, u"\\Given"},
        {true, false, u"\\Recordings"},
        {true, true, u"\\Recordings\\2007-03-09"},
    };
    std::filesystem::create_directories(device.host_path("Recordings"));
    Document document;
    document.set_clock([] { return at(2007, 3, 9, 14, 5); });
    for (Case const& c : cases) {
        Settings settings = document.get_settings();
        settings.record.default_folder = c.default_folder;
        settings.record.date_folder = c.date_folder;
        settings.record.folder = u"\\Recordings";
        document.set_settings(settings);
        EXPECT_EQ(document.get_record_folder(u"\\Given"), c.expected);
    }
    EXPECT_TRUE(std::filesystem::is_directory(device.host_path("Recordings/2007-03-09")));
    // Asked again on the same day: the folder that exists is used.
    EXPECT_EQ(document.get_record_folder(u"\\Given"), u"\\Recordings\\2007-03-09");
}

// ---- Wake-up ---------------------------------------------------------------------------

TEST_F(DocumentTest, SavingTheScheduleArmsTheWakeUpForTheFirstTaskStillAhead) {
    Document document;
    document.set_clock([] { return at(2030, 6, 1, 12, 0); });
    Settings settings = document.get_settings();
    settings.schedule.insert(ScheduleTask(make_time(2030, 6, 1, 11, 0), make_time(2030, 6, 1, 13, 0)));
    settings.schedule.insert(ScheduleTask(make_time(2030, 6, 2, 8, 15), make_time(2030, 6, 2, 9, 0)));
    document.set_settings(settings);
    auto const armed = platform::registered_wake_up(program);
    ASSERT_TRUE(armed);
    EXPECT_EQ(armed->wDay, 2);
    EXPECT_EQ(armed->wHour, 8);
    EXPECT_EQ(armed->wMinute, 15);
    settings.schedule.clear();
    document.set_settings(settings);
    EXPECT_FALSE(platform::registered_wake_up(program));
}

TEST_F(DocumentTest, AScheduledStartRecordsTheDueTaskAndArmsTheNext) {
    std::filesystem::create_directories(device.host_path("Recordings"));
    Document document;
    document.set_clock([] { return at(2030, 6, 1, 12, 0); });
    Settings settings = document.get_settings();
    settings.record.codec = u"PCM";
    settings.record.folder = u"\\Recordings";
    settings.schedule.insert(ScheduleTask(make_time(2030, 6, 1, 11, 0), make_time(2030, 6, 1, 13, 0)));
    settings.schedule.insert(ScheduleTask(make_time(2030, 6, 2, 8, 15), make_time(2030, 6, 2, 9, 0)));
    document.set_settings(settings);

    std::u16string const path = document.start_scheduled_recording();
    EXPECT_EQ(path, u"\\Recordings\\1.wav");
    EXPECT_TRUE(document.is_recording());
    EXPECT_EQ(document.get_record_file(), path);
    for (Settings const& kept : {document.get_settings(), stored_settings()}) {
        ASSERT_EQ(kept.schedule.size(), 1u);
        EXPECT_EQ(kept.schedule[0].Begin.get_systemtime().wDay, 2);
    }
    auto const armed = platform::registered_wake_up(program);
    ASSERT_TRUE(armed);
    EXPECT_EQ(armed->wDay, 2);
    EXPECT_EQ(armed->wHour, 8);
    EXPECT_EQ(armed->wMinute, 15);
    // A second start while recording, or with no task due, records nothing more.
    EXPECT_TRUE(document.start_scheduled_recording().empty());
    EXPECT_TRUE(document.stop());
    EXPECT_TRUE(document.start_scheduled_recording().empty());
    EXPECT_FALSE(document.is_recording());
    CeRunAppAtTime(program, nullptr);
}

TEST_F(DocumentTest, AScheduledStartThatCannotRecordKeepsTheTask) {
    Document document;
    document.set_clock([] { return at(2030, 6, 1, 12, 0); });
    Settings settings = document.get_settings();
    settings.record.codec = u"FLAC";  // no record chain takes it
    settings.schedule.insert(ScheduleTask(make_time(2030, 6, 1, 11, 0), make_time(2030, 6, 1, 13, 0)));
    document.set_settings(settings);

    EXPECT_TRUE(document.start_scheduled_recording().empty());
    EXPECT_FALSE(document.is_recording());
    EXPECT_EQ(document.get_settings().schedule.size(), 1u);
    EXPECT_EQ(stored_settings().schedule.size(), 1u);
    // The task has begun already: no later start is armed.
    EXPECT_FALSE(platform::registered_wake_up(program));
}

TEST_F(DocumentTest, TheArmedWakeUpStartsTheProgramAtTheTasksBegin) {
    std::string const exe = device.host_path("Program Files/Sonbrix/Sonbrix.exe");
    testing_support::write_host_file(exe, testing_support::woken_program);
    ASSERT_EQ(chmod(exe.c_str(), 0755), 0);
    std::string const woke = device.host_path("woke.txt");
    {
        Document document;
        Settings settings = document.get_settings();
        settings.schedule.insert(ScheduleTask(testing_support::local_time_in(std::chrono::milliseconds(1500)),
                                              testing_support::local_time_in(std::chrono::minutes(1))));
        document.set_settings(settings);
        EXPECT_FALSE(testing_support::host_file_exists(woke));
        EXPECT_TRUE(testing_support::eventually([&] { return testing_support::host_file_exists(woke); }));
    }
    if (testing_support::host_file_exists(woke)) {
        std::string const lines = testing_support::read_host_file(woke);
        EXPECT_EQ(lines.substr(0, lines.find('\n')), "AppRunAtTime");
    }
    CeRunAppAtTime(program, nullptr);
    EXPECT_TRUE(testing_support::eventually([] { return !platform::wake_up_agent_running(); }));
}

// ---- Stop ------------------------------------------------------------------------------

TEST_F(DocumentTest, StoppingWhenIdleReportsNothingStopped) {
    Document document;
    RecordingView view;
    EXPECT_FALSE(document.stop());
    document.notify(Change());
    EXPECT_TRUE(view.changes.back().state_changed);
    EXPECT_TRUE(view.changes.back().text.empty());
}

}  // namespace
