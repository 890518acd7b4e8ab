#pragma once

#include <QColor>

// Contrast between two colours as the WCAG defines it: from 1 (none) to 21 (black on white).
// Body text wants at least 4.5.
namespace Contrast {

constexpr double Readable = 4.5;

double luminance(const QColor &colour);
double ratio(const QColor &a, const QColor &b);
// colour itself where it reads on background; otherwise the same hue made lighter (on a dark
// background) or darker (on a light one), just as far as it takes to read.
QColor readableOn(const QColor &colour, const QColor &background);

} // namespace Contrast
