/*
    A picture as the test host sees it: rows of 8-bit red, green and blue, top to bottom. The
    editor window's screenshots are made of these and written as PNG files.
*/
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vsthost
{

struct RgbImage
{
    int width = 0, height = 0;
    std::vector<std::uint8_t> pixels;       // width * height * 3 bytes

    /** Makes a picture of the given size filled with one colour (0xRRGGBB). */
    static RgbImage filled (int width, int height, std::uint32_t rgb);

    /** True when the picture has no pixels. */
    bool isEmpty() const noexcept                   { return width <= 0 || height <= 0; }

    /** The colour at (x, y) as 0xRRGGBB; 0 outside the picture. */
    std::uint32_t getPixel (int x, int y) const noexcept;

    /** Writes the picture as an 8-bit RGB PNG file (replaced only once the new one is complete). */
    bool writePng (const std::string& path, std::string& error) const;

    /** Reads an 8-bit RGB or RGBA PNG file (alpha is dropped). */
    static bool readPng (const std::string& path, RgbImage& image, std::string& error);

    /** True for pictures of the same size with the same pixels. */
    bool operator== (const RgbImage& other) const noexcept
    {
        return width == other.width && height == other.height && pixels == other.pixels;
    }

    /** True for pictures that differ in size or in any pixel. */
    bool operator!= (const RgbImage& other) const noexcept  { return ! operator== (other); }
};

} // namespace vsthost
