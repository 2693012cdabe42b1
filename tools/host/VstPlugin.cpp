#include "tools/host/VstPlugin.h"
#include "tools/host/HostFile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace vsthost
{

namespace vstplugin_detail
{
    // Plug-ins often write past the documented text limits; give them room.
    constexpr size_t textBufferSize = 1024;

    std::uint8_t statusByte (int type, int channel) noexcept
    {
        return (std::uint8_t) (type | (std::clamp (channel, 0, 15)));
    }

    std::uint8_t dataByte (int value) noexcept
    {
        return (std::uint8_t) std::clamp (value, 0, 127);
    }
} // namespace vstplugin_detail

//==============================================================================
VstPlugin::MidiEvent VstPlugin::MidiEvent::programChange (int program, int channel, int deltaFrames) noexcept
{
    using namespace vstplugin_detail;
    return { deltaFrames, { statusByte (0xc0, channel), dataByte (program), 0 } };
}

VstPlugin::MidiEvent VstPlugin::MidiEvent::controlChange (int controller, int value, int channel, int deltaFrames) noexcept
{
    using namespace vstplugin_detail;
    return { deltaFrames, { statusByte (0xb0, channel), dataByte (controller), dataByte (value) } };
}

VstPlugin::MidiEvent VstPlugin::MidiEvent::noteOn (int note, int velocity, int channel, int deltaFrames) noexcept
{
    using namespace vstplugin_detail;
    return { deltaFrames, { statusByte (0x90, channel), dataByte (note), dataByte (velocity) } };
}

//==============================================================================
std::unique_ptr<VstPlugin> VstPlugin::open (std::shared_ptr<VstLibrary> library, std::shared_ptr<VstHost> host,
                                            std::string& error)
{
    if (library == nullptr || host == nullptr)
    {
        error = "no library or host";
        return nullptr;
    }

    if (! library->instanceOpened())
    {
        error = library->getPath() + " has been unloaded";
        return nullptr;
    }

    auto entry = library->getEntry();
    auto plugin = create (entry, std::move (host), library, error);

    if (plugin == nullptr)
        library->instanceClosed();

    return plugin;
}

std::unique_ptr<VstPlugin> VstPlugin::open (const std::string& path, std::string& error)
{
    auto library = VstLibrary::open (path, error);
    return library != nullptr ? open (std::move (library), std::make_shared<VstHost>(), error) : nullptr;
}

std::unique_ptr<VstPlugin> VstPlugin::openWithEntry (vst::PluginEntryProc entry, std::shared_ptr<VstHost> host,
                                                     std::string& error)
{
    if (host == nullptr)
    {
        error = "no host";
        return nullptr;
    }

    return create (entry, std::move (host), nullptr, error);
}

std::unique_ptr<VstPlugin> VstPlugin::create (vst::PluginEntryProc entry, std::shared_ptr<VstHost> host,
                                              std::shared_ptr<VstLibrary> library, std::string& error)
{
    if (entry == nullptr)
    {
        error = "no entry function";
        return nullptr;
    }

    vst::AEffect* effect = nullptr;

    {
        VstHost::ScopedCreation creation (*host);
        effect = entry (&VstHost::callback);
    }

    if (effect == nullptr)
    {
        error = "the plug-in's entry returned no effect";
        return nullptr;
    }

    if (effect->magic != vst::effectMagic || effect->dispatcher == nullptr)
    {
        error = "the plug-in's entry returned a record without the VST magic number";
        return nullptr;
    }

    VstHost::registerEffect (effect, host);
    std::unique_ptr<VstPlugin> plugin (new VstPlugin (effect, std::move (host), std::move (library)));

    plugin->dispatch (vst::effOpen);
    plugin->dispatch (vst::effSetSampleRate, 0, 0, nullptr, (float) plugin->host->getSampleRate());
    plugin->dispatch (vst::effSetBlockSize, 0, plugin->host->getBlockSize());
    return plugin;
}

VstPlugin::VstPlugin (vst::AEffect* e, std::shared_ptr<VstHost> h, std::shared_ptr<VstLibrary> l)
    : effect (e), host (std::move (h)), library (std::move (l))
{
}

VstPlugin::~VstPlugin()
{
    close();
}

void VstPlugin::close()
{
    if (effect == nullptr)
        return;

    if (mainsOn)
        setMainsOn (false);

    dispatch (vst::effClose);
    VstHost::unregisterEffect (effect);
    effect = nullptr;

    if (library != nullptr)
        library->instanceClosed();
}

vst::IntPtr VstPlugin::dispatch (vst::int32 opcode, vst::int32 index, vst::IntPtr value, void* ptr, float opt)
{
    return effect != nullptr ? effect->dispatcher (effect, opcode, index, value, ptr, opt) : 0;
}

std::string VstPlugin::getText (vst::int32 opcode, vst::int32 index)
{
    char buffer[vstplugin_detail::textBufferSize] {};
    dispatch (opcode, index, 0, buffer);
    buffer[sizeof (buffer) - 1] = 0;
    return buffer;
}

vst::IntPtr VstPlugin::canDo (const std::string& text)
{
    std::vector<char> copy (text.begin(), text.end());
    copy.push_back (0);
    return dispatch (vst::effCanDo, 0, 0, copy.data());
}

std::string VstPlugin::uniqueIdToText (vst::int32 id)
{
    const auto bits = (std::uint32_t) id;
    const char chars[4] = { (char) (bits >> 24), (char) (bits >> 16), (char) (bits >> 8), (char) bits };

    if (std::all_of (chars, chars + 4, [] (char c) { return std::isprint ((unsigned char) c) != 0; }))
        return std::string (chars, 4);

    char hex[16];
    std::snprintf (hex, sizeof (hex), "0x%08x", bits);
    return hex;
}

//==============================================================================
float VstPlugin::getParameter (vst::int32 index)
{
    return effect != nullptr && effect->getParameter != nullptr ? effect->getParameter (effect, index) : 0.0f;
}

void VstPlugin::setParameter (vst::int32 index, float value)
{
    if (effect != nullptr && effect->setParameter != nullptr)
        effect->setParameter (effect, index, value);
}

//==============================================================================
std::vector<std::uint8_t> VstPlugin::getChunk (bool programOnly)
{
    void* data = nullptr;
    const auto size = dispatch (vst::effGetChunk, programOnly ? 1 : 0, 0, &data);

    if (data == nullptr || size <= 0 || size > maxChunkSize)
        return {};

    const auto* bytes = static_cast<const std::uint8_t*> (data);
    return std::vector<std::uint8_t> (bytes, bytes + size);
}

vst::IntPtr VstPlugin::setChunk (const std::vector<std::uint8_t>& chunk, bool programOnly)
{
    // The plug-in gets a copy of its own, so that nothing it does can touch the caller's bytes.
    auto copy = chunk;
    return dispatch (vst::effSetChunk, programOnly ? 1 : 0, (vst::IntPtr) copy.size(),
                     copy.empty() ? nullptr : copy.data());
}

bool VstPlugin::saveChunk (const std::string& path, bool programOnly, std::string& error)
{
    const auto chunk = getChunk (programOnly);

    if (chunk.empty())
    {
        error = std::string ("the plug-in returned no ") + (programOnly ? "program" : "state") + " chunk"
              + (hasFlag (vst::effFlagsProgramChunks) ? "" : " (it does not keep its state in chunks)");
        return false;
    }

    return HostFile::write (path, chunk, error);
}

bool VstPlugin::loadChunk (const std::string& path, bool programOnly, std::string& error)
{
    std::vector<std::uint8_t> chunk;

    if (! HostFile::read (path, chunk, error, (std::uint64_t) maxChunkSize))
        return false;

    if (chunk.empty())
    {
        error = path + " is empty";
        return false;
    }

    setChunk (chunk, programOnly);
    return true;
}

//==============================================================================
void VstPlugin::setSampleRate (double sampleRate)
{
    host->setSampleRate (sampleRate);
    dispatch (vst::effSetSampleRate, 0, 0, nullptr, (float) sampleRate);
}

void VstPlugin::setBlockSize (int blockSize)
{
    host->setBlockSize (blockSize);
    dispatch (vst::effSetBlockSize, 0, blockSize);
}

void VstPlugin::setMainsOn (bool shouldBeOn)
{
    dispatch (vst::effMainsChanged, 0, shouldBeOn ? 1 : 0);
    mainsOn = shouldBeOn;
}

vst::IntPtr VstPlugin::sendEvents (const std::vector<MidiEvent>& events)
{
    if (events.empty() || effect == nullptr)
        return 0;

    midiEventStorage.assign (events.size(), vst::VstMidiEvent {});

    for (size_t i = 0; i < events.size(); ++i)
    {
        auto& e = midiEventStorage[i];
        e.type = vst::kVstMidiType;
        e.byteSize = (vst::int32) sizeof (vst::VstMidiEvent);
        e.deltaFrames = events[i].deltaFrames;
        e.flags = vst::kVstMidiEventIsRealtime;
        std::memcpy (e.midiData, events[i].data, 3);
    }

    // VstEvents ends in an array of two pointers that really holds numEvents of them.
    const auto listBytes = std::max (sizeof (vst::VstEvents),
                                     offsetof (vst::VstEvents, events) + events.size() * sizeof (vst::VstEvent*));
    eventListStorage.assign ((listBytes + sizeof (std::uintptr_t) - 1) / sizeof (std::uintptr_t), 0);
    auto* list = reinterpret_cast<vst::VstEvents*> (eventListStorage.data());
    list->numEvents = (vst::int32) events.size();

    for (size_t i = 0; i < events.size(); ++i)
        list->events[i] = reinterpret_cast<vst::VstEvent*> (&midiEventStorage[i]);

    return dispatch (vst::effProcessEvents, 0, 0, list);
}

void VstPlugin::process (const float* const* inputs, float* const* outputs, int numFrames,
                         const std::vector<MidiEvent>& events)
{
    if (effect == nullptr || numFrames <= 0)
        return;

    VstHost::ScopedProcessing processing;
    sendEvents (events);

    auto** in = const_cast<float**> (inputs);
    auto** out = const_cast<float**> (outputs);

    if (effect->processReplacing != nullptr)
    {
        effect->processReplacing (effect, in, out, numFrames);
    }
    else if (effect->process != nullptr)
    {
        // The old accumulating call adds into the outputs.
        for (int ch = 0; ch < effect->numOutputs; ++ch)
            std::fill (outputs[ch], outputs[ch] + numFrames, 0.0f);

        effect->process (effect, in, out, numFrames);
    }

    host->advanceSamplePosition (numFrames);
}

bool VstPlugin::render (const AudioData& input, const RenderOptions& options, AudioData& output, std::string& error)
{
    if (effect == nullptr)
    {
        error = "the plug-in is closed";
        return false;
    }

    const auto rate = options.sampleRate > 0.0 ? options.sampleRate : input.sampleRate;

    if (! (rate > 0.0))
    {
        error = "no usable sample rate";
        return false;
    }

    if (options.blockSizes.empty()
        || std::any_of (options.blockSizes.begin(), options.blockSizes.end(), [] (int n) { return n <= 0; }))
    {
        error = "block sizes must be positive";
        return false;
    }

    if (! input.hasEqualChannelLengths())
    {
        error = "the input's channels have different lengths";
        return false;
    }

    const auto maxBlock = *std::max_element (options.blockSizes.begin(), options.blockSizes.end());
    const bool wasOn = mainsOn;

    if (mainsOn)
        setMainsOn (false);

    setSampleRate (rate);
    setBlockSize (maxBlock);
    setMainsOn (true);

    auto changes = options.parameterChanges;
    auto events = options.midiEvents;
    std::stable_sort (changes.begin(), changes.end(), [] (auto& a, auto& b) { return a.position < b.position; });
    std::stable_sort (events.begin(), events.end(), [] (auto& a, auto& b) { return a.position < b.position; });

    const auto numInputs = std::max (0, effect->numInputs);
    const auto numOutputs = std::max (0, effect->numOutputs);
    const auto inputFrames = input.getNumFrames();
    const auto totalFrames = inputFrames + std::max<std::int64_t> (0, options.tailFrames);

    std::vector<std::vector<float>> inBuffers ((size_t) numInputs, std::vector<float> ((size_t) maxBlock));
    std::vector<std::vector<float>> outBuffers ((size_t) numOutputs, std::vector<float> ((size_t) maxBlock));
    std::vector<float*> inPointers, outPointers;

    for (auto& b : inBuffers)   inPointers.push_back (b.data());
    for (auto& b : outBuffers)  outPointers.push_back (b.data());

    // One spare pointer each, so that a plug-in with no channels still gets a valid array.
    inPointers.push_back (nullptr);
    outPointers.push_back (nullptr);

    output = AudioData::silence (numOutputs, totalFrames, rate);

    size_t nextChange = 0, nextEvent = 0, blockIndex = 0;
    std::vector<MidiEvent> blockEvents;
    std::int64_t position = 0;

    while (position < totalFrames)
    {
        const auto blockSize = options.blockSizes[blockIndex++ % options.blockSizes.size()];
        const auto blockEnd = std::min (totalFrames, position + blockSize);

        while (position < blockEnd)
        {
            auto callEnd = blockEnd;

            while (nextChange < changes.size()
                   && (changes[nextChange].position <= position
                       || (! options.splitBlocksAtParameterChanges && changes[nextChange].position < blockEnd)))
            {
                setParameter (changes[nextChange].index, changes[nextChange].value);
                ++nextChange;
            }

            if (nextChange < changes.size() && changes[nextChange].position < blockEnd)
                callEnd = changes[nextChange].position;

            const auto numFrames = (int) (callEnd - position);
            blockEvents.clear();

            for (; nextEvent < events.size() && events[nextEvent].position < callEnd; ++nextEvent)
            {
                auto e = events[nextEvent].event;
                e.deltaFrames = (vst::int32) std::max<std::int64_t> (0, events[nextEvent].position - position);
                blockEvents.push_back (e);
            }

            for (int ch = 0; ch < numInputs; ++ch)
            {
                const std::vector<float>* source = nullptr;

                if (ch < input.getNumChannels())
                    source = &input.channels[(size_t) ch];
                else if (input.getNumChannels() == 1)
                    source = &input.channels.front();

                auto& buffer = inBuffers[(size_t) ch];
                std::fill (buffer.begin(), buffer.end(), 0.0f);

                if (source != nullptr && position < inputFrames)
                {
                    const auto available = std::min<std::int64_t> (numFrames, inputFrames - position);
                    std::copy_n (source->begin() + position, available, buffer.begin());
                }
            }

            for (auto& buffer : outBuffers)
                std::fill (buffer.begin(), buffer.end(), 0.0f);

            process (inPointers.data(), outPointers.data(), numFrames, blockEvents);

            for (int ch = 0; ch < numOutputs; ++ch)
                std::copy_n (outBuffers[(size_t) ch].begin(), numFrames, output.channels[(size_t) ch].begin() + position);

            position = callEnd;
        }
    }

    if (! wasOn)
        setMainsOn (false);

    return true;
}

} // namespace vsthost
