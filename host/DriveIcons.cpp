#include "host/DriveIcons.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

// The library's header has no C++ linkage block of its own.
extern "C" {
#include <icns.h>
}

namespace host {

namespace {

struct Color {
    float r, g, b, a = 1.0f;
};

Color Mix(Color a, Color b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
            a.a + (b.a - a.a) * t};
}

struct Style {
    Color bodyTop, bodyBottom, label, light;
};

Style StyleFor(DriveIconKind kind) {
    switch (kind) {
    case DriveIconKind::Internal:
        return {{0.80f, 0.82f, 0.85f},
                {0.52f, 0.55f, 0.60f},
                {0.25f, 0.42f, 0.70f},
                {0.30f, 0.90f, 0.35f}};
    case DriveIconKind::FireWire:
        return {{0.98f, 0.80f, 0.45f},
                {0.85f, 0.50f, 0.15f},
                {0.95f, 0.95f, 0.92f},
                {0.95f, 0.25f, 0.20f}};
    case DriveIconKind::USB:
        return {{0.62f, 0.80f, 0.98f},
                {0.25f, 0.48f, 0.80f},
                {0.95f, 0.95f, 0.92f},
                {0.30f, 0.90f, 0.35f}};
    case DriveIconKind::SCSI:
        return {{0.55f, 0.55f, 0.58f},
                {0.28f, 0.28f, 0.32f},
                {0.92f, 0.78f, 0.25f},
                {1.00f, 0.65f, 0.10f}};
    }
    return StyleFor(DriveIconKind::Internal);
}

// A picture in floating point, painted shape by shape with anti-aliased edges.
class Canvas {
  public:
    explicit Canvas(int size) : size_(size), pixels_(size_t(size) * size, Color{0, 0, 0, 0}) {}

    // Paints the rounded rectangle (x0, y0)-(x1, y1), in units of the
    // picture's size, with color(t) where t runs 0 to 1 from top to bottom.
    template <class Shade>
    void RoundRect(float x0, float y0, float x1, float y1, float radius, Shade shade) {
        const float s = float(size_);
        x0 *= s, y0 *= s, x1 *= s, y1 *= s, radius *= s;
        const float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
        const float hx = (x1 - x0) / 2 - radius, hy = (y1 - y0) / 2 - radius;
        for (int y = 0; y < size_; ++y) {
            for (int x = 0; x < size_; ++x) {
                // Distance from the pixel centre to the shape's edge.
                float dx = std::max(std::fabs(x + 0.5f - cx) - hx, 0.0f);
                float dy = std::max(std::fabs(y + 0.5f - cy) - hy, 0.0f);
                float distance = std::sqrt(dx * dx + dy * dy) - radius;
                float coverage = std::clamp(0.5f - distance, 0.0f, 1.0f);
                if (coverage > 0)
                    Over(x, y, shade(std::clamp((y + 0.5f - y0) / (y1 - y0), 0.0f, 1.0f)),
                         coverage);
            }
        }
    }

    void RoundRect(float x0, float y0, float x1, float y1, float radius, Color color) {
        RoundRect(x0, y0, x1, y1, radius, [color](float) { return color; });
    }

    std::vector<UInt8> RGBA() const {
        std::vector<UInt8> out;
        out.reserve(pixels_.size() * 4);
        for (const Color& c : pixels_) {
            for (float v : {c.r, c.g, c.b, c.a})
                out.push_back(UInt8(std::lround(std::clamp(v, 0.0f, 1.0f) * 255)));
        }
        return out;
    }

  private:
    void Over(int x, int y, Color top, float coverage) {
        Color& under = pixels_[size_t(y) * size_ + x];
        float a = top.a * coverage;
        float outA = a + under.a * (1 - a);
        if (outA <= 0)
            return;
        auto blend = [&](float t, float u) { return (t * a + u * under.a * (1 - a)) / outA; };
        under = {blend(top.r, under.r), blend(top.g, under.g), blend(top.b, under.b), outA};
    }

    int size_;
    std::vector<Color> pixels_;
};

bool AddElement(icns_family_t** family, icns_image_t* image, icns_type_t type, bool mask) {
    icns_element_t* element = nullptr;
    int err = mask ? icns_new_element_from_mask(image, type, &element)
                   : icns_new_element_from_image(image, type, &element);
    if (err == ICNS_STATUS_OK)
        err = icns_set_element_in_family(family, element);
    std::free(element);
    return err == ICNS_STATUS_OK;
}

} // namespace

std::vector<UInt8> DrawDriveIcon(DriveIconKind kind, int size) {
    const Style style = StyleFor(kind);
    const Color outline{0.12f, 0.13f, 0.16f, 0.9f};
    // The outline stays about one pixel wide at every size.
    const float line = 1.0f / float(size);
    Canvas canvas(size);
    // Shadow, case, front bezel, label and activity light.
    canvas.RoundRect(0.07f, 0.30f, 0.97f, 0.84f, 0.09f, Color{0, 0, 0, 0.28f});
    canvas.RoundRect(0.04f, 0.24f, 0.94f, 0.78f, 0.09f, outline);
    canvas.RoundRect(0.04f + line, 0.24f + line, 0.94f - line, 0.78f - line, 0.09f - line,
                     [&](float t) { return Mix(style.bodyTop, style.bodyBottom, t); });
    canvas.RoundRect(0.08f, 0.60f, 0.90f, 0.73f, 0.04f,
                     Mix(style.bodyBottom, Color{0, 0, 0}, 0.35f));
    canvas.RoundRect(0.14f, 0.33f, 0.62f, 0.52f, 0.03f, style.label);
    canvas.RoundRect(0.17f, 0.40f, 0.54f, 0.44f, 0.02f, Mix(style.label, Color{0, 0, 0}, 0.45f));
    canvas.RoundRect(0.76f, 0.635f, 0.855f, 0.695f, 0.03f, style.light);
    return canvas.RGBA();
}

bool WriteDriveIconFile(DriveIconKind kind, const std::string& path, std::string* error) {
    icns_family_t* family = nullptr;
    bool ok = icns_create_family(&family) == ICNS_STATUS_OK;
    const struct {
        int size;
        icns_type_t image, mask;
    } sizes[] = {{32, ICNS_32x32_32BIT_DATA, ICNS_32x32_8BIT_MASK},
                 {128, ICNS_128X128_32BIT_DATA, ICNS_128X128_8BIT_MASK}};
    for (const auto& s : sizes) {
        if (!ok)
            break;
        std::vector<UInt8> rgba = DrawDriveIcon(kind, s.size);
        std::vector<UInt8> alpha(size_t(s.size) * s.size);
        for (size_t i = 0; i < alpha.size(); ++i)
            alpha[i] = rgba[i * 4 + 3];
        icns_image_t image{UInt32(s.size), UInt32(s.size), 4, 8, rgba.size(), rgba.data()};
        icns_image_t mask{UInt32(s.size), UInt32(s.size), 1, 8, alpha.size(), alpha.data()};
        ok =
            AddElement(&family, &image, s.image, false) && AddElement(&family, &mask, s.mask, true);
    }
    if (ok) {
        FILE* file = std::fopen(path.c_str(), "wb");
        ok = file && icns_write_family_to_file(file, family) == ICNS_STATUS_OK;
        if (file && std::fclose(file) != 0)
            ok = false;
    }
    std::free(family);
    if (!ok && error)
        *error = "cannot write the icon file " + path;
    return ok;
}

} // namespace host
