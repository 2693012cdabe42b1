/*
    The identity texts of a product, in the order the about window reads them.
*/
#pragma once

#include <juce_core/juce_core.h>

class SoftwareDesignation
{
public:
    virtual ~SoftwareDesignation() = default;

    /** The product's name. */
    virtual juce::String getSoftwareName() const = 0;
    /** What the product is, in a few words. */
    virtual juce::String getSoftwareDescription() const = 0;
    /** The version, "major.minor.patch". */
    virtual juce::String getSoftwareVersion() const = 0;
    /** The product's web page address. */
    virtual juce::String getSoftwareWebPage() const = 0;
    /** The year the product first appeared. */
    virtual juce::String getSoftwareYear() const = 0;
    /** Where the running plug-in file is. */
    virtual juce::String getSoftwareLocation() const = 0;
    /** The build date, "YYYY-MM-DD". */
    virtual juce::String getBuildDate() const = 0;
    /** A note on the build; may be empty. */
    virtual juce::String getBuildNote() const = 0;
    /** The build number. */
    virtual juce::String getBuildNumber() const = 0;
    /** The plug-in format. */
    virtual juce::String getSoftwareFormat() const = 0;
    /** "64bit" or "32bit". */
    virtual juce::String getSoftwareBitness() const = 0;
    /** The revision of the build. */
    virtual juce::String getBuildRevision() const = 0;
};
