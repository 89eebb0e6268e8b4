// JPEG decoding: any bytes give a picture or a null image, never a crash, and
// never a picture beyond the decoder's size limit.

#include "fuzz_support.h"

#include "ui/jpeg_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QImage image = DecodeJpeg(FuzzBytes(data, size));
    if (!image.isNull())
        FUZZ_CHECK(quint64(image.width()) * quint64(image.height()) <= 64u * 1024 * 1024);
    return 0;
}
