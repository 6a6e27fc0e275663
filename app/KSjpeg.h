// JPEG pictures (the layouts' previews) decoded with libjpeg into a QImage.
// Damaged data never crashes: a picture that cannot be decoded whole, also
// one that ends early, gives a null image.
#pragma once

#include <QImage>

class QByteArray;

namespace ks::app {

// True when bytes begin like a JPEG file (start-of-image marker).
bool LooksLikeJpeg(const QByteArray& bytes);
// The decoded picture (RGB, or greyscale pictures as RGB); null when bytes
// are no complete JPEG picture or it is larger than 16384 pixels a side.
QImage DecodeJpeg(const QByteArray& bytes);

} // namespace ks::app
