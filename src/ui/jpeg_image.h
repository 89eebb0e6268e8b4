#pragma once
// JPEG decoding with libjpeg.

#include <QByteArray>
#include <QImage>

// The decoded picture, or a null image when the bytes are not a JPEG.
QImage DecodeJpeg(const QByteArray& bytes);
