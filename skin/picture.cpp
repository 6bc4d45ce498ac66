#include "skin/picture.h"

#include "skin/platform_pictures.h"

namespace skinner {

namespace {

std::shared_ptr<const PictureLoader>& loader_slot() {
    static std::shared_ptr<const PictureLoader> loader;
    return loader;
}

bool is_one_scaled_pixel(const RECT& source, int scale) {
    return source.right - source.left == scale && source.bottom - source.top == scale;
}

// An edge whose source is one scaled pixel long in the direction the edge runs.
bool is_one_scaled_pixel_long(const FramePiece& piece, int scale) {
    const RECT& from = piece.source;
    if (piece.kind == FramePiece::Kind::top_bottom_edge) return from.right - from.left == scale;
    if (piece.kind == FramePiece::Kind::side_edge) return from.bottom - from.top == scale;
    return false;
}

}  // namespace

void set_picture_loader(std::shared_ptr<const PictureLoader> loader) { loader_slot() = std::move(loader); }

std::shared_ptr<const PictureLoader> get_picture_loader() {
    if (!loader_slot()) loader_slot() = std::make_shared<PictureLoader>(decode_with_platform, get_screen_depth());
    return loader_slot();
}

Picture::Picture(const std::u16string& source, const std::u16string& name, int scale) : source_(source), name_(name), scale_(scale) {
    auto loader = get_picture_loader();
    if (!loader) return;
    if (auto images = loader->load(source, name, scale)) {
        images_ = std::move(*images);
        loaded_ = !images_.colour.empty();
    }
}

void Picture::draw(PixelImage& target, const RECT& destination, const POINT points[4], bool stretch) const {
    if (!loaded_ || destination.right <= destination.left || destination.bottom <= destination.top) return;
    if (!has_alpha()) {
        draw_frame(target, destination, points, stretch, {&images_.colour, has_mask() ? &*images_.companion : nullptr},
                   ScaledPixelRule::fill);
        return;
    }
    // The picture part at the destination's size with its alpha, then blended.
    LONG width = destination.right - destination.left, height = destination.bottom - destination.top;
    PixelImage part(width, height);
    render_with_alpha(part, {0, 0, width, height}, points, stretch);
    blend(target, destination, part);
}

PixelImage Picture::combined_with_alpha() const {
    PixelImage combined(images_.colour.width, images_.colour.height);
    const PixelImage* companion = images_.companion ? &*images_.companion : nullptr;
    for (int y = 0; y < combined.height; ++y)
        for (int x = 0; x < combined.width; ++x) {
            std::uint32_t alpha = 0xFF;
            if (companion != nullptr)
                alpha = x < companion->width && y < companion->height ? companion->at(x, y) & 0xFF : 0;
            combined.at(x, y) = (images_.colour.at(x, y) & 0x00FFFFFF) | alpha << 24;
        }
    return combined;
}

void Picture::render_with_alpha(PixelImage& target, const RECT& destination, const POINT points[4], bool stretch,
                                bool smooth) const {
    if (!loaded_ || destination.right <= destination.left || destination.bottom <= destination.top) return;
    PixelImage combined = combined_with_alpha();
    draw_frame(target, destination, points, stretch, {&combined, nullptr}, ScaledPixelRule::repeat_edges, smooth);
}

void Picture::draw_frame(PixelImage& target, const RECT& destination, const POINT points[4], bool stretch,
                         const BlitSource& source, ScaledPixelRule rule, bool smooth) const {
    for (const FramePiece& piece : frame_pieces(points, destination, get_width(), get_height())) {
        const RECT& to = piece.destination;
        const RECT& from = piece.source;
        if (piece.kind == FramePiece::Kind::corner)
            blit(target, to, source, from.left, from.top);
        else if (rule == ScaledPixelRule::repeat_edges && is_one_scaled_pixel_long(piece, scale_))
            tile_blit_masked(target, to, source, from);
        else if (is_one_scaled_pixel(from, scale_))
            fill_from_pixel(target, to, source, from.left, from.top);
        else if (stretch && smooth && source.mask == nullptr)
            smooth_stretch_blit(target, to, *source.colour, from);
        else if (stretch)
            stretch_blit(target, to, source, from);
        else
            tile_blit_masked(target, to, source, from);
    }
}

bool Picture::is_transparent_at(int x, int y) const {
    if (x < 0 || y < 0 || x >= get_width() || y >= get_height()) return true;
    if (!has_mask()) return false;
    const PixelImage& mask = *images_.companion;
    return x >= mask.width || y >= mask.height || (mask.at(x, y) & 0x00FFFFFF) == 0;
}

}  // namespace skinner
