#include "todayplugin/command_senders.h"

#include <optional>
#include <string>

#include "app/comm/comm_channel.h"
#include "app/comm/comm_clipboard.h"
#include "app/comm/comm_identifiers.h"
#include "app/comm/comm_module.h"
#include "app/comm/serializable.h"
#include "app/comm/sonbrix_status.h"
#include "platform/handles.h"
#include "platform/messages.h"
#include "platform/mutex.h"

namespace {

// The command ids.
constexpr std::int32_t play_command = 0;
constexpr std::int32_t record_command = 1;
constexpr std::int32_t start_recording_command = 2;
constexpr std::int32_t append_recording_command = 3;
constexpr std::int32_t insert_recording_command = 4;
constexpr std::int32_t pause_command = 5;
constexpr std::int32_t stop_command = 6;
constexpr std::int32_t status_command = 7;
constexpr std::int32_t skip_command = 8;

// The request buffer of the program's handlers holds 200 units with the terminator.
constexpr std::size_t longest_request = 199;

// The sender mutex, held while it lives (when it could be taken). While it waits, the
// thread answers what is sent to its windows: another sender looking for the program sends
// to this sender's window of the same class before it lets the mutex go.
class ExchangeLock {
public:
    ExchangeLock() : mutex_(CreateMutexW(nullptr, FALSE, comm_identifiers::sender_mutex_name)) {
        if (!mutex_) return;
        DWORD result;
        while ((result = MsgWaitForMultipleObjects(1, &mutex_, FALSE, INFINITE, QS_SENDMESSAGE)) == WAIT_OBJECT_0 + 1) {
            MSG message;
            PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // runs the sent messages
        }
        owned_ = result == WAIT_OBJECT_0;
    }
    ~ExchangeLock() {
        if (!mutex_) return;
        ReleaseMutex(mutex_);
        CloseHandle(mutex_);
    }
    ExchangeLock(const ExchangeLock&) = delete;
    ExchangeLock& operator=(const ExchangeLock&) = delete;
    bool owned() const { return owned_; }

private:
    HANDLE const mutex_;
    bool owned_ = false;
};

// Under the sender mutex the stack belongs to this exchange: whatever it holds was left by
// an exchange that failed half-way, and whatever this one leaves after a failure is removed.
class StackGuard {
public:
    explicit StackGuard(CCommClipboard& clipboard) : clipboard_(clipboard) { clipboard_.clear(); }
    ~StackGuard() {
        if (!succeeded_) clipboard_.clear();
    }
    StackGuard(const StackGuard&) = delete;
    StackGuard& operator=(const StackGuard&) = delete;
    void succeeded() { succeeded_ = true; }

private:
    CCommClipboard& clipboard_;
    bool succeeded_ = false;
};

std::u16string flag_text(bool flag) { return flag ? u"y" : u"n"; }

std::u16string number_text(long value) {
    std::string const digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

enum class IfNotRunning { start, give_up };

bool send_to_program(std::int32_t command_id, IfNotRunning if_not_running = IfNotRunning::start) {
    CCommModule* const module = find_comm_module(comm_identifiers::main_module_id);
    return (if_not_running == IfNotRunning::start ? module->send(command_id) : module->send_to_running(command_id)) != 0;
}

// Pushes the request, sends the command and pops the program's Bool reply.
bool exchange(std::int32_t command_id, const std::u16string& request) {
    if (request.size() > longest_request) return false;
    ExchangeLock lock;
    if (!lock.owned()) return false;
    CCommClipboard* const clipboard = CCommClipboard::instance();
    StackGuard stack(*clipboard);
    CSerializableString const request_value(request);
    CSerializableBool reply(false);
    if (!CCommClipboard::write_object(clipboard, &request_value) || !send_to_program(command_id) ||
        !CCommClipboard::read_object(clipboard, &reply)) {
        return false;
    }
    stack.succeeded();
    return reply.get_value();
}

}  // namespace

bool setup_command_channel() { return init_main_comm(); }

bool send_play(std::u16string_view path, bool flag) {
    return exchange(play_command, std::u16string(path) + u"," + flag_text(flag));
}

bool send_record(std::u16string_view path, int format_index, bool flag) {
    return exchange(record_command, std::u16string(path) + u"," + number_text(format_index) + u"," + flag_text(flag));
}

bool send_start_recording(std::u16string_view path, bool flag) {
    return exchange(start_recording_command, std::u16string(path) + u"," + flag_text(flag));
}

bool send_start_recording_append(std::u16string_view path, bool flag) {
    return exchange(append_recording_command, std::u16string(path) + u"," + flag_text(flag));
}

bool send_start_insert_recording(std::u16string_view path, LONG position, bool flag) {
    return exchange(insert_recording_command,
                    std::u16string(path) + u"," + number_text(position) + u"," + flag_text(flag));
}

bool send_pause(bool flag) { return exchange(pause_command, flag_text(flag)); }

bool send_stop(bool flag) { return exchange(stop_command, flag_text(flag)); }

bool send_skip(int step, bool flag) { return exchange(skip_command, number_text(step) + u"," + flag_text(flag)); }

namespace {

bool exchange_status(StatusData* status, bool show, IfNotRunning if_not_running) {
    ExchangeLock lock;
    if (!lock.owned() || !status) return false;
    CCommClipboard* const clipboard = CCommClipboard::instance();
    StackGuard stack(*clipboard);
    CSerializableBool const request(show);
    CSerializableBool reply(false);
    CSonbrixStatus received;
    if (!CCommClipboard::write_object(clipboard, &request) || !send_to_program(status_command, if_not_running) ||
        !CCommClipboard::read_object(clipboard, &reply) || !reply.get_value() ||
        !CCommClipboard::read_object(clipboard, &received)) {
        return false;
    }
    stack.succeeded();
    *status = received.get_data();
    return true;
}

}  // namespace

bool request_status(StatusData* status, bool show) { return exchange_status(status, show, IfNotRunning::start); }

bool request_running_status(StatusData* status, bool show) {
    return exchange_status(status, show, IfNotRunning::give_up);
}
