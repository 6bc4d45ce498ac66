#include "app/schedule.h"

#include <algorithm>
#include <string>

#include "foundation/text_convert.h"
#include "platform/datetime.h"

namespace {

// False (time unchanged) when the attribute is missing or holds no real date and time.
bool read_date_time(const os::XmlNode& node, const std::u16string& name, os::DateTime& time) {
    std::u16string text;
    if (!node.get_attribute(name, text)) return false;
    os::DateTime parsed;
    FILETIME checked;
    if (!parsed.parse(text.data(), text.data() + text.size()) ||
        !SystemTimeToFileTime(&parsed.get_systemtime(), &checked)) {
        return false;
    }
    time = parsed;
    return true;
}

void write_date_time(const os::XmlNode& node, const std::u16string& name, const os::DateTime& time) {
    std::string narrow;
    std::u16string text;
    if (time.format(narrow) && liba::narrow_to_wide_string(narrow, text)) node.set_attribute(name, text);
}

}  // namespace

std::size_t Schedule::upper_bound(const os::DateTime& time) const {
    auto const place = std::upper_bound(tasks_.begin(), tasks_.end(), time,
                                        [](const os::DateTime& t, const ScheduleTask& task) { return t < task.Begin; });
    return static_cast<std::size_t>(place - tasks_.begin());
}

int Schedule::insert(const ScheduleTask& task) {
    std::size_t const place = upper_bound(task.Begin);
    if (place > 0 && tasks_[place - 1].End > task.Begin) return -1;
    if (place < tasks_.size() && tasks_[place].Begin < task.End) return -1;
    tasks_.insert(tasks_.begin() + static_cast<std::ptrdiff_t>(place), task);
    return static_cast<int>(place);
}

void Schedule::remove(int index) {
    if (index >= 0 && static_cast<std::size_t>(index) < tasks_.size()) tasks_.erase(tasks_.begin() + index);
}

int Schedule::find_task_at(const os::DateTime& time) const {
    std::size_t const place = upper_bound(time);
    if (place < 1) return -1;
    return tasks_[place - 1].End > time ? static_cast<int>(place - 1) : -1;
}

int Schedule::find_next_task(const os::DateTime& time) const {
    std::size_t const place = upper_bound(time);
    return place < tasks_.size() ? static_cast<int>(place) : -1;
}

void Schedule::save(const os::XmlNode& node) const {
    for (auto const& task : tasks_) {
        os::XmlNode const element = node.append_element(u"Task");
        write_date_time(element, u"Begin", task.Begin);
        write_date_time(element, u"End", task.End);
    }
}

void Schedule::load(const os::XmlNode& node) {
    Tasks read;
    for (int k = 0; k < node.get_child_count(); ++k) {
        os::XmlNode const child = node.get_child(k);
        ScheduleTask task;
        if (read_date_time(child, u"Begin", task.Begin) && read_date_time(child, u"End", task.End) &&
            task.Begin < task.End) {
            read.push_back(task);
        }
    }
    std::stable_sort(read.begin(), read.end(),
                     [](const ScheduleTask& a, const ScheduleTask& b) { return a.Begin < b.Begin; });
    tasks_.clear();
    for (auto const& task : read) insert(task);
}
