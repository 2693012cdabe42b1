/*
    The indices of Velcroft's parameters: the one place in code that knows their order, which
    is that of product/resources/parameters.xml (a unit test holds the two together, and the
    factory table's columns follow it). Plain C++ with no includes, so the core, the product,
    the tools and the tests that drive the built library share it.
*/
#pragma once

namespace VelcroftParameters
{
/** Velcroft's parameters, by the index the host, the core and the definitions give them. */
enum Index : int
{
    preamp = 0,
    leftBits,
    leftFrequency,
    leftLinkFreq,
    leftFilterType,
    leftCutoff,
    leftReso,
    rightBits,
    rightFrequency,
    rightLinkFreq,
    rightFilterType,
    rightCutoff,
    rightReso,
    linkChannels,
    fx,
    outputVolume,
    leftFilterOrder,        // the first revision's additions
    rightFilterOrder,
    numParameters           /**< how many there are */
};
} // namespace VelcroftParameters
