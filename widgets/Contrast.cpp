#include "widgets/Contrast.h"

#include <algorithm>
#include <cmath>

namespace Contrast {

double luminance(const QColor &colour) {
    const auto linear = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) +
           0.0722 * linear(rgb.blueF());
}

double ratio(const QColor &a, const QColor &b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOn(const QColor &colour, const QColor &background) {
    if (ratio(colour, background) >= Readable)
        return colour;
    // Towards white on a dark background, towards black on a light one.
    const bool lighten = luminance(background) < 0.18;
    const QColor hsl = colour.toHsl();
    for (int step = 1; step <= 100; ++step) {
        const double lightness =
            hsl.lightnessF() + (lighten ? 1 - hsl.lightnessF() : -hsl.lightnessF()) * step / 100.0;
        const QColor candidate =
            QColor::fromHslF(std::max(0.0f, hsl.hslHueF()), hsl.hslSaturationF(), float(lightness));
        if (ratio(candidate, background) >= Readable)
            return candidate.toRgb();
    }
    return lighten ? QColor(Qt::white) : QColor(Qt::black);
}

} // namespace Contrast
