#include "media/JPEGImage.h"

#include <csetjmp>
#include <cstdio>
#include <string>

// libjpeg's header needs size_t and FILE declared first.
#include <jpeglib.h>

namespace {

struct TErrorManager {
    jpeg_error_mgr Base;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

// libjpeg must not return from a fatal error; the jump leaves only C frames.
void ErrorExit(j_common_ptr info) {
    auto* manager = reinterpret_cast<TErrorManager*>(info->err);
    info->err->format_message(info, manager->Message);
    std::longjmp(manager->Jump, 1);
}

void NoOutput(j_common_ptr) {}

// Fills `image`; returns false with the message set on a libjpeg error. Kept
// free of objects with destructors, which a long jump would skip.
bool Decode(std::string_view data, TRGBImage& image, TErrorManager& errors) {
    jpeg_decompress_struct info;
    info.err = jpeg_std_error(&errors.Base);
    errors.Base.error_exit = ErrorExit;
    errors.Base.output_message = NoOutput;
    errors.Message[0] = '\0';
    if (setjmp(errors.Jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.data()), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    if (static_cast<int64_t>(info.image_width) * info.image_height > MaxJPEGPixels) {
        std::snprintf(errors.Message, sizeof errors.Message, "JPEG picture too large (%ux%u)", info.image_width,
                      info.image_height);
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_start_decompress(&info);
    image.Width = static_cast<int>(info.output_width);
    image.Height = static_cast<int>(info.output_height);
    image.Pixels.resize(static_cast<size_t>(image.Width) * image.Height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.Pixels.data() + static_cast<size_t>(info.output_scanline) * image.Width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    for (size_t i = 0; i + 2 < image.Pixels.size(); i += 3) std::swap(image.Pixels[i], image.Pixels[i + 2]);
    return true;
}

}  // namespace

TRGBImage DecodeJPEG(std::string_view data) {
    TRGBImage image;
    TErrorManager errors;
    if (data.empty()) throw EJPEGError("JPEG error: empty file");
    if (!Decode(data, image, errors)) throw EJPEGError(std::string("JPEG error: ") + errors.Message);
    return image;
}
