#include "gui/SkinFonts.h"

#include <array>

namespace SkinFontsDetail
{
juce::String findTypefaceName()
{
    if (juce::Font::findAllTypefaceNames().contains ("Tahoma"))
        return "Tahoma";

    // The family the system gives for its default sans-serif font.
    const juce::Font defaultSans (juce::Font::getDefaultSansSerifFontName(), 12.0f, juce::Font::plain);

    if (auto typeface = juce::Font::getDefaultTypefaceForFont (defaultSans))
        if (typeface->getName().isNotEmpty())
            return typeface->getName();

    return juce::Font::getDefaultSansSerifFontName();
}

bool isBoldStyle (const juce::String& style)     { return style.containsIgnoreCase ("Bold"); }
bool isItalicStyle (const juce::String& style)   { return style.containsIgnoreCase ("Italic") || style.containsIgnoreCase ("Oblique"); }

// The shortest style name with the wanted weight and slant ("Bold" before "Condensed Bold");
// failing that, one with the wanted weight; failing that, the family's first (regular) style.
juce::String pickStyle (const juce::StringArray& styles, bool bold, bool italic)
{
    juce::String best;

    const auto pickShortest = [&] (auto&& accepts)
    {
        for (auto& style : styles)
            if (accepts (style) && (best.isEmpty() || style.length() < best.length()))
                best = style;

        return best.isNotEmpty();
    };

    if (pickShortest ([&] (const juce::String& s) { return isBoldStyle (s) == bold && isItalicStyle (s) == italic; }))
        return best;

    if (pickShortest ([&] (const juce::String& s) { return isBoldStyle (s) == bold && ! isItalicStyle (s); }))
        return best;

    return styles.isEmpty() ? juce::String ("Regular") : styles[0];
}
} // namespace SkinFontsDetail

juce::String SkinFonts::getTypefaceName()
{
    // The installed fonts do not change while the plug-in runs.
    static const juce::String name = SkinFontsDetail::findTypefaceName();
    return name;
}

juce::String SkinFonts::getStyleName (int styleFlags)
{
    // Looked up once for the four combinations of bold and italic.
    static const auto styleNames = []
    {
        const auto styles = juce::Font::findAllTypefaceStyles (getTypefaceName());
        std::array<juce::String, 4> names;

        for (int i = 0; i < 4; ++i)
            names[(size_t) i] = SkinFontsDetail::pickStyle (styles, (i & 1) != 0, (i & 2) != 0);

        return names;
    }();

    return styleNames[(size_t) (((styleFlags & juce::Font::bold) != 0 ? 1 : 0)
                                 + ((styleFlags & juce::Font::italic) != 0 ? 2 : 0))];
}

juce::Font SkinFonts::getFont (float height, int styleFlags)
{
    juce::Font font (getTypefaceName(), getStyleName (styleFlags), height);

    if ((styleFlags & juce::Font::underlined) != 0)
        font.setUnderline (true);

    return font;
}
