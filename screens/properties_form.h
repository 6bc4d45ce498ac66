// The properties of one sound file: name, format, duration, channels, sample rate, bit
// rate, bits per sample and size. A file that no reader takes shows only its name.
#pragma once

#include <string>

#include "skin/button.h"
#include "skin/form.h"
#include "skin/frame.h"

namespace screens {

// Skin form "Properties" (or another of the same controls).
class PropertiesForm : public skinner::Form {
public:
    PropertiesForm(skinner::Form* owner, skinner::Properties* properties, const std::u16string& form_name,
                   const std::u16string& path);
    ~PropertiesForm() override;

    void on_click(skinner::Control* sender) override;

private:
    void show_sound(const std::u16string& path);

    skinner::ControlFrame file_name_;
    skinner::ControlFrame format_;
    skinner::ControlFrame duration_;
    skinner::ControlFrame channels_;
    skinner::ControlFrame sample_rate_;
    skinner::ControlFrame bit_rate_;
    skinner::ControlFrame bits_;
    skinner::ControlFrame size_;
    skinner::ControlButton ok_;
};

}  // namespace screens
