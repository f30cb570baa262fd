#pragma once
// Colour in which the spectrum curve is drawn at a given wavelength: the visible range in
// its own colours, black outside it.

#include <QRgb>
#include <QtGlobal>

namespace kelvor {

// Red, green and blue follow the standard observer's x, y and z matching functions, each
// scaled by its own maximum; black at 380 nm and below, 780 nm and above.
QRgb CouleurLambda(qint32 lambda);

} // namespace kelvor
