// The recording schedule: tasks with a begin and an end time, kept sorted by begin and
// never overlapping. It is saved in the settings file as "Task" elements.
#pragma once

#include <cstddef>
#include <vector>

#include "foundation/date_time.h"
#include "foundation/xml_node.h"
#include "platform/types.h"

// One planned recording over [Begin, End), in local time.
struct ScheduleTask {
    ScheduleTask() = default;
    ScheduleTask(const SYSTEMTIME& begin, const SYSTEMTIME& end) : Begin(begin), End(end) {}

    os::DateTime Begin;
    os::DateTime End;
};

class Schedule {
public:
    using Tasks = std::vector<ScheduleTask>;

    // Sorted insert; the index of the new task, or -1 (list unchanged) when it would overlap
    // the task before or after it.
    int insert(const ScheduleTask& task);
    void remove(int index);
    void clear() { tasks_.clear(); }

    // The task whose range holds the time, or -1.
    int find_task_at(const os::DateTime& time) const;
    // The first task that begins later than the time, or -1.
    int find_next_task(const os::DateTime& time) const;

    // Appends one "Task" child per task, in order.
    void save(const os::XmlNode& node) const;
    // Replaces the list with the node's children read as tasks. A hand-edited file may hold
    // anything: the tasks are sorted, and a child without a readable "Begin" and "End", a
    // task that does not end after it begins and one that overlaps a task that begins
    // earlier (or as early, and comes first in the file) are left out.
    void load(const os::XmlNode& node);

    const Tasks& get_tasks() const { return tasks_; }
    std::size_t size() const { return tasks_.size(); }
    bool empty() const { return tasks_.empty(); }
    const ScheduleTask& operator[](std::size_t index) const { return tasks_[index]; }
    Tasks::const_iterator begin() const { return tasks_.begin(); }
    Tasks::const_iterator end() const { return tasks_.end(); }

private:
    // The number of tasks that begin no later than the time.
    std::size_t upper_bound(const os::DateTime& time) const;

    Tasks tasks_;
};
