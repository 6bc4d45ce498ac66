#include "audio/pcm_recorder.h"

#include <algorithm>
#include <atomic>
#include <mutex>

#include "audio/pcm_recorder_impl.h"
#include "foundation/log.h"
#include "platform/messages.h"

namespace audio {

// ---- RecorderPCM ----------------------------------------------------------------------------

RecorderPCM::RecorderPCM(std::int32_t channels, std::int32_t sample_rate, std::int32_t bits_per_sample)
    : impl_(std::make_unique<RecorderPCMImpl>(channels, sample_rate, bits_per_sample, *this, WAVE_MAPPER)) {}

RecorderPCM::~RecorderPCM() { impl_.reset(); }

PCMData RecorderPCM::get_data(std::uint32_t) {
    os::fatal_error(u"RecorderPCM::get_data", u"get_data unexpected - recorder is active object");
}

bool RecorderPCM::start() { return impl_->start(); }
bool RecorderPCM::stop() { return impl_->stop(); }
bool RecorderPCM::is_stopped() { return impl_->is_stopped(); }
bool RecorderPCM::is_recording() { return impl_->is_recording(); }
std::int32_t RecorderPCM::get_channels() { return impl_->get_channels(); }
std::int32_t RecorderPCM::get_bits_per_sample() { return impl_->get_bits_per_sample(); }
std::int32_t RecorderPCM::get_sample_rate() { return impl_->get_sample_rate(); }
std::int32_t RecorderPCM::get_bit_rate() { return impl_->get_bit_rate(); }

// ---- RecorderPCMImpl ------------------------------------------------------------------------

RecorderPCMImpl::RecorderPCMImpl(std::int32_t channels, std::int32_t rate, std::int32_t bits, RecorderPCM& owner,
                                 UINT device_id)
    : owner_(owner), channels_(channels), sample_rate_(rate), bits_per_sample_(bits) {
    ready_.reset();
    liba::Thread::start();
    // The device's notifications need the thread's message queue to exist.
    ready_.wait();
    open(device_id);
}

void RecorderPCMImpl::open(UINT device_id) {
    std::lock_guard guard(lock_);
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(channels_);
    format.nSamplesPerSec = static_cast<DWORD>(sample_rate_);
    format.wBitsPerSample = static_cast<WORD>(bits_per_sample_);
    format.nBlockAlign = static_cast<WORD>(channels_ * ((bits_per_sample_ + 7) / 8));
    format.nAvgBytesPerSec = format.nBlockAlign * format.nSamplesPerSec;
    format.cbSize = 0;
    buffer_size_ = format.nBlockAlign * buffer_frames;
    MMRESULT const result = waveInOpen(&device_, device_id, &format, get_id(), reinterpret_cast<DWORD_PTR>(this),
                                       CALLBACK_THREAD);
    if (result != MMSYSERR_NOERROR) {
        os::get_log() << "RecorderPCM: waveInOpen failed: " << static_cast<int>(result) << "\n";
        device_ = nullptr;
        return;
    }
    bool armed = true;
    for (std::size_t i = 0; i < buffers_.size(); ++i) {
        storage_[i] = std::make_unique<char[]>(buffer_size_);
        buffers_[i] = WAVEHDR{};
        buffers_[i].lpData = storage_[i].get();
        buffers_[i].dwBufferLength = buffer_size_;
        armed = give_back(buffers_[i]) && armed;
    }
    // A device that does not take its buffers would record nothing while reporting that
    // it records: treat it as a device that cannot be opened.
    if (!armed) {
        os::get_log() << "RecorderPCM: the device refused its buffers\n";
        waveInReset(device_);
        waveInClose(device_);
        device_ = nullptr;
    }
}

RecorderPCMImpl::~RecorderPCMImpl() {
    {
        std::lock_guard guard(lock_);
        closing_ = true;
        if (device_) {
            waveInReset(device_);
            waveInClose(device_);
        }
    }
    // The buffers that the reset returned were announced before the quit: the thread
    // still delivers them, in order, before it ends.
    PostThreadMessageW(get_id(), WM_QUIT, 0, 0);
    join();
}

bool RecorderPCMImpl::give_back(WAVEHDR& header) {
    header.dwUser = 0;
    header.dwFlags = 0;
    header.dwBytesRecorded = 0;
    if (waveInPrepareHeader(device_, &header, sizeof(WAVEHDR)) == MMSYSERR_NOERROR &&
        waveInAddBuffer(device_, &header, sizeof(WAVEHDR)) == MMSYSERR_NOERROR)
        return true;
    // Counted as out of circulation, so that is_recording turns false once none is left.
    waveInUnprepareHeader(device_, &header, sizeof(WAVEHDR));
    header.dwFlags = WHDR_DONE;
    return false;
}

void RecorderPCMImpl::run() {
    set_priority(1);
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    ready_.set();
    if (is_stop_requested()) return;
    while (GetMessageW(&message, nullptr, 0, 0) != 0) {
        if (message.message == MM_WIM_CLOSE) {
            std::lock_guard guard(lock_);
            device_ = nullptr;
            stopped_ = true;
        } else if (message.message == MM_WIM_DATA) {
            on_data(reinterpret_cast<WAVEHDR*>(message.lParam));
        } else if (message.message == delivered_message) {
            delivered_.set();
        }
        if (is_stop_requested()) break;
    }
}

void RecorderPCMImpl::on_data(WAVEHDR* header) {
    std::lock_guard guard(lock_);
    waveInUnprepareHeader(device_, header, sizeof(WAVEHDR));
    // An empty block would tell the graph that the stream has ended.
    if (header->dwBytesRecorded > 0) {
        liba::SharedBuffer const bytes(header->dwBytesRecorded, header->lpData);
        owner_.push_data(PCMData(bytes, static_cast<std::uint32_t>(channels_),
                                 static_cast<std::uint32_t>(bits_per_sample_), static_cast<std::uint32_t>(sample_rate_)));
    }
    running_ = !all_buffers_done();
    if (running_ && !closing_) give_back(*header);
}

bool RecorderPCMImpl::all_buffers_done() {
    return std::all_of(buffers_.begin(), buffers_.end(), [](WAVEHDR& header) {
        return (std::atomic_ref<DWORD>(header.dwFlags).load() & WHDR_DONE) != 0;
    });
}

bool RecorderPCMImpl::start() {
    std::lock_guard guard(lock_);
    if (!device_) return false;
    stopped_ = waveInStart(device_) != MMSYSERR_NOERROR;
    return !stopped_;
}

bool RecorderPCMImpl::stop() {
    {
        std::lock_guard guard(lock_);
        if (stopped_) return true;
        stopped_ = waveInStop(device_) == MMSYSERR_NOERROR;
        if (!stopped_) return false;
    }
    // The stop handed back the part of the current buffer recorded so far; the thread
    // delivers it before it sees this marker, so the part reaches the consumer before
    // stop returns.
    delivered_.reset();
    if (PostThreadMessageW(get_id(), delivered_message, 0, 0)) delivered_.wait();
    return true;
}

bool RecorderPCMImpl::is_stopped() {
    std::lock_guard guard(lock_);
    return stopped_;
}

bool RecorderPCMImpl::is_recording() {
    std::lock_guard guard(lock_);
    return device_ != nullptr && running_;
}

std::int32_t RecorderPCMImpl::get_channels() {
    std::lock_guard guard(lock_);
    return channels_;
}

std::int32_t RecorderPCMImpl::get_bits_per_sample() {
    std::lock_guard guard(lock_);
    return bits_per_sample_;
}

std::int32_t RecorderPCMImpl::get_sample_rate() {
    std::lock_guard guard(lock_);
    return sample_rate_;
}

std::int32_t RecorderPCMImpl::get_bit_rate() {
    std::lock_guard guard(lock_);
    return channels_ * ((bits_per_sample_ + 7) / 8) * sample_rate_ * 8;
}

}  // namespace audio
