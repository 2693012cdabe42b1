/*
    Build-time tool: draws the toolkit's images and writes them as PNG files into a folder,
    from which they are embedded into the plug-in. Every PNG already in the folder is
    removed first, so an image that is no longer drawn is no longer embedded. A file whose
    bytes have not changed is left alone.

    usage: velcroft_make_art <output folder> [--contact-sheet <file.png>]
*/
#include "tools/art/ArtContactSheet.h"
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

    if (argc != 2 && ! (argc == 4 && juce::String (argv[2]) == "--contact-sheet"))
    {
        std::fprintf (stderr, "usage: %s <output folder> [--contact-sheet <file.png>]\n", argv[0]);
        return 2;
    }

    const auto folder = juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]);

    if (! folder.createDirectory())
    {
        std::fprintf (stderr, "velcroft_make_art: cannot create %s\n", argv[1]);
        return 1;
    }

    const auto images = ToolkitArt::getImages();
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

    if (argc == 4 && ! sheet.writeTo (juce::File::getCurrentWorkingDirectory().getChildFile (argv[3])))
    {
        std::fprintf (stderr, "velcroft_make_art: cannot write %s\n", argv[3]);
        return 1;
    }

    return 0;
}
