#include "tools/host/RgbImage.h"
#include "tools/host/HostFile.h"

#include <png.h>

#include <cstring>

namespace vsthost
{

RgbImage RgbImage::filled (int width, int height, std::uint32_t rgb)
{
    RgbImage image;
    image.width = width > 0 ? width : 0;
    image.height = height > 0 ? height : 0;
    image.pixels.resize ((size_t) image.width * (size_t) image.height * 3);

    for (size_t i = 0; i < image.pixels.size(); i += 3)
    {
        image.pixels[i] = (std::uint8_t) (rgb >> 16);
        image.pixels[i + 1] = (std::uint8_t) (rgb >> 8);
        image.pixels[i + 2] = (std::uint8_t) rgb;
    }

    return image;
}

std::uint32_t RgbImage::getPixel (int x, int y) const noexcept
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return 0;

    const auto* p = pixels.data() + ((size_t) y * (size_t) width + (size_t) x) * 3;
    return ((std::uint32_t) p[0] << 16) | ((std::uint32_t) p[1] << 8) | p[2];
}

bool RgbImage::writePng (const std::string& path, std::string& error) const
{
    if (isEmpty() || pixels.size() != (size_t) width * (size_t) height * 3)
    {
        error = "no picture to write";
        return false;
    }

    png_image png {};
    png.version = PNG_IMAGE_VERSION;
    png.width = (png_uint_32) width;
    png.height = (png_uint_32) height;
    png.format = PNG_FORMAT_RGB;

    png_alloc_size_t size = 0;

    if (! png_image_write_to_memory (&png, nullptr, &size, 0, pixels.data(), 0, nullptr))
    {
        error = std::string ("PNG encoding failed: ") + png.message;
        return false;
    }

    std::vector<std::uint8_t> bytes (size);

    if (! png_image_write_to_memory (&png, bytes.data(), &size, 0, pixels.data(), 0, nullptr))
    {
        error = std::string ("PNG encoding failed: ") + png.message;
        return false;
    }

    bytes.resize (size);
    return HostFile::write (path, bytes, error);
}

bool RgbImage::readPng (const std::string& path, RgbImage& image, std::string& error)
{
    std::vector<std::uint8_t> bytes;

    if (! HostFile::read (path, bytes, error, (std::uint64_t) 64 << 20))
        return false;

    png_image png {};
    png.version = PNG_IMAGE_VERSION;

    if (! png_image_begin_read_from_memory (&png, bytes.data(), bytes.size()))
    {
        error = path + ": " + png.message;
        return false;
    }

    png.format = PNG_FORMAT_RGB;
    RgbImage result;
    result.width = (int) png.width;
    result.height = (int) png.height;
    result.pixels.resize (PNG_IMAGE_SIZE (png));

    if (! png_image_finish_read (&png, nullptr, result.pixels.data(), 0, nullptr))
    {
        error = path + ": " + png.message;
        png_image_free (&png);
        return false;
    }

    image = std::move (result);
    return true;
}

} // namespace vsthost
