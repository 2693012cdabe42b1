/*
    Build-time tool: draws one set of images ("toolkit", the toolkit's own; "skin", the
    product's panel and its controls) and
    writes them as PNG files into a folder, from which they are embedded into the plug-in.
    Every other PNG in the folder is removed, so an image that is no longer drawn is no
    longer embedded. A file whose bytes have not changed is left alone.

    usage: velcroft_make_art <set> <output folder> [--contact-sheet <file.png>]
*/
#include "tools/art/ArtContactSheet.h"
#include "tools/art/ProductSkinArt.h"
#include "tools/art/ToolkitArt.h"

#include <cstdio>

namespace MakeArtDetail
{
juce::MemoryBlock toPng (const juce::Image& image)
{
    juce::MemoryOutputStream out;
    juce::PNGImageFormat().writeImageToStream (image, out);
    return out.getMemoryBlock();
}

/** The image sets this tool draws, by name. */
ArtImageList getImageSet (const juce::String& name)
{
    if (name == "toolkit")
        return ToolkitArt::getImages();

    if (name == "skin")
        return ProductSkinArt::getImages();

    return {};
}

bool writeIfChanged (const juce::File& file, const juce::MemoryBlock& bytes)
{
    juce::MemoryBlock existing;

    if (file.existsAsFile() && file.loadFileAsData (existing) && existing == bytes)
        return true;

    return file.replaceWithData (bytes.getData(), bytes.getSize());
}
} // namespace MakeArtDetail

int main (int argc, char** argv)
{
    using namespace MakeArtDetail;

    if (argc != 3 && ! (argc == 5 && juce::String (argv[3]) == "--contact-sheet"))
    {
        std::fprintf (stderr, "usage: %s <set> <output folder> [--contact-sheet <file.png>]\n", argv[0]);
        return 2;
    }

    const auto images = getImageSet (argv[1]);

    if (images.empty())
    {
        std::fprintf (stderr, "velcroft_make_art: no image set called %s\n", argv[1]);
        return 2;
    }

    const auto folder = juce::File::getCurrentWorkingDirectory().getChildFile (argv[2]);

    if (! folder.createDirectory())
    {
        std::fprintf (stderr, "velcroft_make_art: cannot create %s\n", argv[2]);
        return 1;
    }

    juce::StringArray names;

    for (auto& image : images)
        names.add (image.name);

    for (auto& old : folder.findChildFiles (juce::File::findFiles, false, "*.png"))
        if (! names.contains (old.getFileName()))
            old.deleteFile();

    ArtContactSheet sheet;

    for (auto& image : images)
    {
        const auto picture = image.render();

        if (! writeIfChanged (folder.getChildFile (image.name), toPng (picture)))
        {
            std::fprintf (stderr, "velcroft_make_art: cannot write %s\n", image.name.toRawUTF8());
            return 1;
        }

        sheet.addImage (image.name.upToLastOccurrenceOf (".", false, false), picture);
    }

    if (argc == 5 && ! sheet.writeTo (juce::File::getCurrentWorkingDirectory().getChildFile (argv[4])))
    {
        std::fprintf (stderr, "velcroft_make_art: cannot write %s\n", argv[4]);
        return 1;
    }

    return 0;
}
