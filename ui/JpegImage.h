#pragma once

#include <QByteArray>
#include <QImage>

namespace ui {

// Decodes a JPEG with libjpeg's decompression interface into an RGB image; a null image when
// the data is not a JPEG libjpeg can read. Never ends the process on bad data.
QImage decodeJpeg(const QByteArray& data);

} // namespace ui
