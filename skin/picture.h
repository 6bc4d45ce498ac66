// A skin picture as the picture cache keeps it: the colour image and its mask or alpha
// companion, at the skin's scale, drawn as a nine-part frame or alpha-blended.
#pragma once

#include <memory>
#include <string>

#include "skin/picture_bands.h"
#include "skin/picture_loader.h"

namespace skinner {

class Picture {
public:
    // Loads the picture through the program's picture loader; a picture that loads nowhere
    // stays unloaded.
    Picture(const std::u16string& source, const std::u16string& name, int scale);

    bool is_loaded() const { return loaded_; }
    int get_width() const { return images_.colour.width; }
    int get_height() const { return images_.colour.height; }
    int get_scale() const { return scale_; }
    const std::u16string& get_name() const { return name_; }
    // The skin file or folder the picture was looked up beside.
    const std::u16string& get_source() const { return source_; }
    bool has_mask() const { return images_.companion.has_value() && !images_.alpha; }
    bool has_alpha() const { return images_.companion.has_value() && images_.alpha; }
    const PictureImages& get_images() const { return images_; }
    // A picture with the alternative-blit flag has its stretched pieces smoothed (each pixel
    // weighed from its source neighbours) when it is rendered at a size with its alpha.
    bool has_alternative_blit() const { return alternative_blit_; }
    void set_alternative_blit(bool on) { alternative_blit_ = on; }

    // Draws the picture part (outer top-left, inner top-left, inner bottom-right, outer
    // bottom-right) into the destination: alpha-blended, or as a nine-part frame whose
    // edges and centre are stretched or tiled.
    void draw(PixelImage& target, const RECT& destination, const POINT points[4], bool stretch) const;
    // Draws the picture part into the destination as plain copies of the colour image whose
    // alpha byte is the companion's low byte (255 without a companion); with `smooth`, the
    // stretched pieces are smoothed. An edge one scaled pixel long is repeated across its
    // span whatever the stretch flag; a centre one scaled pixel in size is one colour.
    void render_with_alpha(PixelImage& target, const RECT& destination, const POINT points[4], bool stretch,
                           bool smooth = false) const;
    // True when picture pixel (x, y) is outside the picture or black in its mask.
    bool is_transparent_at(int x, int y) const;

private:
    // Pieces one scaled pixel in size: on a canvas, edges and centre are filled with their
    // pixel; when rendered with alpha, edges are repeated and only the centre is filled.
    enum class ScaledPixelRule { fill, repeat_edges };

    PixelImage combined_with_alpha() const;
    void draw_frame(PixelImage& target, const RECT& destination, const POINT points[4], bool stretch,
                    const BlitSource& source, ScaledPixelRule rule, bool smooth = false) const;

    std::u16string source_;
    std::u16string name_;
    int scale_;
    bool loaded_ = false;
    bool alternative_blit_ = false;
    PictureImages images_;
};

// The loader that pictures use: the platform's decoder at the screen's depth unless one was
// set (tests set their own; null goes back to the platform's).
void set_picture_loader(std::shared_ptr<const PictureLoader> loader);
std::shared_ptr<const PictureLoader> get_picture_loader();

}  // namespace skinner
