#pragma once

#include <memory>

#include "audio/blocks.h"
#include "audio/stream_ends.h"
#include "foundation/nocopy.h"

namespace audio {

class PlayerPCMImpl;

// The end of the play graph: sends PCM to the wave-out device. It is never pushed into;
// its own thread pulls from the linked provider, opens the device in the format of the
// blocks, keeps six 200 ms device buffers filled and closes the device when the stream
// ends or changes format. The user-interface thread only sets requests and wakes that
// thread. The lock of the consumer end is the one lock of the whole player.
class PlayerPCM : public Consumer<PCMData>, private liba::Nocopy {
public:
    PlayerPCM();
    ~PlayerPCM() override;

    // Pushing into the player is a programming error: fatal stop.
    void on_data(const PCMData& block) override;

    // Start or resume; false only when the player's thread cannot be told.
    bool play();
    bool pause();
    bool stop();
    // Whether a pause is requested.
    bool is_paused() const;
    // 0.0 .. 1.0, the same on both channels.
    void set_volume(double volume);
    double get_volume();
    // Whether a device is open (playing or playing out its last buffers).
    bool is_playing();
    // Whether the device refused the sound since the last play (a format it cannot play, or
    // a buffer): the player dropped that request and stays closed.
    bool has_device_failed();

private:
    std::unique_ptr<PlayerPCMImpl> impl_;
};

}  // namespace audio
