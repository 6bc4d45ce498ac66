// The media decoder on FFmpeg, built as a module of its own (see media_decoder.h).
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/linux/media/media_decoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
#include <libswresample/swresample.h>
}

namespace platform::detail {

namespace {

// FFmpeg's state for one file.
struct Context {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    SwrContext* resampler = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    int stream = -1;
    bool input_done = false;

    ~Context() {
        av_frame_free(&frame);
        av_packet_free(&packet);
        swr_free(&resampler);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
    }
};

bool open_codec(Context& c) {
    const AVCodec* codec = nullptr;
    c.stream = av_find_best_stream(c.format, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (c.stream < 0 || codec == nullptr) return false;
    c.codec = avcodec_alloc_context3(codec);
    if (c.codec == nullptr) return false;
    if (avcodec_parameters_to_context(c.codec, c.format->streams[c.stream]->codecpar) < 0) return false;
    return avcodec_open2(c.codec, codec, nullptr) == 0 && c.codec->sample_rate > 0 &&
           c.codec->ch_layout.nb_channels > 0;
}

bool open_resampler(Context& c, int channels) {
    AVChannelLayout out_layout;
    av_channel_layout_default(&out_layout, channels);
    int const result = swr_alloc_set_opts2(&c.resampler, &out_layout, AV_SAMPLE_FMT_S16, c.codec->sample_rate,
                                           &c.codec->ch_layout, c.codec->sample_fmt, c.codec->sample_rate, 0, nullptr);
    av_channel_layout_uninit(&out_layout);
    return result == 0 && swr_init(c.resampler) == 0;
}

class FfmpegDecoder final : public MediaDecoder {
public:
    static std::unique_ptr<FfmpegDecoder> open(const std::string& host_path);
    explicit FfmpegDecoder(std::unique_ptr<Context> context) : context_(std::move(context)) {}

    int channels() const override { return channels_; }
    int sample_rate() const override { return sample_rate_; }
    double duration() const override { return duration_; }
    std::int64_t bit_rate() const override { return bit_rate_; }
    std::size_t read(std::int16_t* out, std::size_t frames) override;
    bool seek(double seconds) override;

private:
    // Decodes the next frame into pending_; false at the end.
    bool decode_more();
    void skip(std::size_t frames);

    std::unique_ptr<Context> context_;
    int channels_ = 0;
    int sample_rate_ = 0;
    double duration_ = 0.0;
    std::int64_t bit_rate_ = 0;
    std::vector<std::int16_t> pending_;
    std::size_t pending_start_ = 0;  // samples of pending_ already handed out
    bool ended_ = false;
};

std::unique_ptr<FfmpegDecoder> FfmpegDecoder::open(const std::string& host_path) {
    // Files that the control refuses are no news to the user.
    av_log_set_level(AV_LOG_QUIET);
    auto context = std::make_unique<Context>();
    if (avformat_open_input(&context->format, host_path.c_str(), nullptr, nullptr) != 0) return nullptr;
    if (avformat_find_stream_info(context->format, nullptr) < 0) return nullptr;
    if (!open_codec(*context)) return nullptr;
    int const channels = std::min(context->codec->ch_layout.nb_channels, 2);
    if (!open_resampler(*context, channels)) return nullptr;
    context->packet = av_packet_alloc();
    context->frame = av_frame_alloc();
    if (context->packet == nullptr || context->frame == nullptr) return nullptr;

    AVFormatContext const* format = context->format;
    AVStream const* stream = format->streams[context->stream];
    auto decoder = std::make_unique<FfmpegDecoder>(std::move(context));
    decoder->channels_ = channels;
    decoder->sample_rate_ = decoder->context_->codec->sample_rate;
    if (format->duration > 0) {
        decoder->duration_ = static_cast<double>(format->duration) / AV_TIME_BASE;
    } else if (stream->duration > 0) {
        decoder->duration_ = static_cast<double>(stream->duration) * av_q2d(stream->time_base);
    }
    decoder->bit_rate_ = stream->codecpar->bit_rate > 0 ? stream->codecpar->bit_rate : format->bit_rate;
    return decoder;
}

bool FfmpegDecoder::decode_more() {
    Context& c = *context_;
    while (true) {
        int const received = avcodec_receive_frame(c.codec, c.frame);
        if (received == 0) {
            int const capacity = swr_get_out_samples(c.resampler, c.frame->nb_samples);
            if (capacity <= 0) continue;
            pending_.assign(static_cast<std::size_t>(capacity) * static_cast<std::size_t>(channels_), 0);
            auto* out = reinterpret_cast<std::uint8_t*>(pending_.data());
            int const converted = swr_convert(c.resampler, &out, capacity,
                                              const_cast<const std::uint8_t**>(c.frame->extended_data),
                                              c.frame->nb_samples);
            av_frame_unref(c.frame);
            if (converted <= 0) continue;
            pending_.resize(static_cast<std::size_t>(converted) * static_cast<std::size_t>(channels_));
            pending_start_ = 0;
            return true;
        }
        if (received == AVERROR_EOF) return false;
        if (received != AVERROR(EAGAIN)) return false;
        if (c.input_done) return false;
        // The decoder wants input: the next packet of the sound stream, or the flush at the end.
        int const read = av_read_frame(c.format, c.packet);
        if (read < 0) {
            c.input_done = true;
            avcodec_send_packet(c.codec, nullptr);
            continue;
        }
        if (c.packet->stream_index == c.stream) avcodec_send_packet(c.codec, c.packet);
        av_packet_unref(c.packet);
    }
}

std::size_t FfmpegDecoder::read(std::int16_t* out, std::size_t frames) {
    std::size_t const wanted = frames * static_cast<std::size_t>(channels_);
    std::size_t done = 0;
    while (done < wanted && !ended_) {
        if (pending_start_ >= pending_.size() && !decode_more()) {
            ended_ = true;
            break;
        }
        std::size_t const take = std::min(wanted - done, pending_.size() - pending_start_);
        std::memcpy(out + done, pending_.data() + pending_start_, take * sizeof(std::int16_t));
        pending_start_ += take;
        done += take;
    }
    return done / static_cast<std::size_t>(channels_);
}

bool FfmpegDecoder::seek(double seconds) {
    Context& c = *context_;
    AVStream const* stream = c.format->streams[c.stream];
    double const target = std::max(seconds, 0.0);
    auto const timestamp = static_cast<std::int64_t>(target / av_q2d(stream->time_base));
    bool const direct = av_seek_frame(c.format, c.stream, timestamp, AVSEEK_FLAG_BACKWARD) >= 0;
    // Some containers cannot seek by time: start again and decode up to the place.
    if (!direct && av_seek_frame(c.format, c.stream, 0, AVSEEK_FLAG_BYTE) < 0) return false;
    avcodec_flush_buffers(c.codec);
    swr_init(c.resampler);
    pending_.clear();
    pending_start_ = 0;
    c.input_done = false;
    ended_ = false;
    if (!direct) skip(static_cast<std::size_t>(target * sample_rate_));
    return true;
}

void FfmpegDecoder::skip(std::size_t frames) {
    std::vector<std::int16_t> scratch(4096 * static_cast<std::size_t>(channels_));
    while (frames > 0) {
        std::size_t const got = read(scratch.data(), std::min<std::size_t>(frames, 4096));
        if (got == 0) return;
        frames -= got;
    }
}

}  // namespace

}  // namespace platform::detail

extern "C" platform::detail::MediaDecoder* sonbrix_open_media_decoder(const char* host_path) {
    return platform::detail::FfmpegDecoder::open(host_path).release();
}
