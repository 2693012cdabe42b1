#include "tools/host/VstHost.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

namespace vsthost
{

namespace vsthost_detail
{
    /** Which host answers the callbacks of which effect record. */
    struct EffectRegistry
    {
        std::mutex lock;
        std::map<vst::AEffect*, std::shared_ptr<VstHost>> hosts;
    };

    EffectRegistry& getRegistry()
    {
        static EffectRegistry registry;
        return registry;
    }

    /** Answers callbacks that belong to no known instance (e.g. from a plug-in's own threads). */
    VstHost& getFallbackHost()
    {
        static VstHost host;
        return host;
    }

    thread_local VstHost* hostOfInstanceBeingCreated = nullptr;
    thread_local bool threadIsProcessing = false;

    constexpr vst::IntPtr processLevelUser = 1;
    constexpr vst::IntPtr processLevelRealtime = 2;
    constexpr vst::IntPtr automationStateOff = 1;
    constexpr vst::IntPtr languageEnglish = 1;
    constexpr vst::IntPtr hostVendorVersion = 1000;

    void copyText (const std::string& text, void* destination, size_t capacity)
    {
        if (destination == nullptr || capacity == 0)
            return;

        auto length = std::min (text.size(), capacity - 1);
        std::memcpy (destination, text.data(), length);
        static_cast<char*> (destination)[length] = 0;
    }
} // namespace vsthost_detail

//==============================================================================
VstHost::VstHost()
{
    canDoTexts = { "sendVstEvents", "sendVstMidiEvent", "sendVstTimeInfo", "acceptIOChanges" };
}

void VstHost::advanceSamplePosition (vst::int32 numSamples) noexcept
{
    samplePosition = samplePosition.load() + (double) numSamples;
}

void VstHost::setVendorAndProduct (std::string vendor, std::string product)
{
    std::lock_guard<std::mutex> guard (textLock);
    vendorText = std::move (vendor);
    productText = std::move (product);
}

void VstHost::setSizeWindowHandler (SizeWindowHandler handler)
{
    std::lock_guard<std::mutex> guard (textLock);
    sizeWindowHandler = std::move (handler);
}

bool VstHost::resizeWindow (int width, int height)
{
    SizeWindowHandler handler;

    {
        std::lock_guard<std::mutex> guard (textLock);
        handler = sizeWindowHandler;
    }

    return handler != nullptr && width > 0 && height > 0 && handler (width, height);
}

void VstHost::addCanDo (std::string text)
{
    std::lock_guard<std::mutex> guard (textLock);
    canDoTexts.push_back (std::move (text));
}

//==============================================================================
std::vector<VstHost::Notification> VstHost::getNotifications() const
{
    std::lock_guard<std::mutex> guard (recordLock);
    return notifications;
}

std::vector<VstHost::Notification> VstHost::getNotifications (vst::int32 opcode) const
{
    std::lock_guard<std::mutex> guard (recordLock);
    std::vector<Notification> matching;

    for (auto& n : notifications)
        if (n.opcode == opcode)
            matching.push_back (n);

    return matching;
}

void VstHost::clearNotifications()
{
    std::lock_guard<std::mutex> guard (recordLock);
    notifications.clear();

    for (auto& count : callCounts)
        count = 0;
}

int VstHost::getCallCount (vst::int32 opcode) const noexcept
{
    return opcode >= 0 && opcode < (vst::int32) callCounts.size() ? callCounts[(size_t) opcode].load() : 0;
}

void VstHost::record (vst::int32 opcode, vst::int32 index, float value)
{
    std::unique_lock<std::recursive_mutex> hostGuard;

    if (auto* lock = notificationLock.load())
        hostGuard = std::unique_lock<std::recursive_mutex> (*lock);

    std::lock_guard<std::mutex> guard (recordLock);
    notifications.push_back ({ opcode, index, value, std::this_thread::get_id(), vsthost_detail::threadIsProcessing });
}

vst::VstTimeInfo* VstHost::fillTimeInfo() const
{
    // One record per calling thread: it stays valid until that thread asks again.
    thread_local vst::VstTimeInfo info;
    info = {};

    const auto rate = sampleRate.load();
    const auto position = samplePosition.load();
    const auto bpm = tempo.load();

    info.samplePos = position;
    info.sampleRate = rate;
    info.tempo = bpm;
    info.ppqPos = rate > 0.0 ? position / rate * bpm / 60.0 : 0.0;
    info.barStartPos = std::floor (info.ppqPos / 4.0) * 4.0;
    info.timeSigNumerator = 4;
    info.timeSigDenominator = 4;
    info.flags = vst::kVstPpqPosValid | vst::kVstTempoValid | vst::kVstBarsValid | vst::kVstTimeSigValid
               | (playing ? vst::kVstTransportPlaying : 0);
    return &info;
}

vst::IntPtr VstHost::handleCall (vst::AEffect*, vst::int32 opcode, vst::int32 index,
                                 vst::IntPtr value, void* ptr, float opt)
{
    using namespace vsthost_detail;

    if (opcode >= 0 && opcode < (vst::int32) callCounts.size())
        ++callCounts[(size_t) opcode];

    switch (opcode)
    {
        case vst::audioMasterAutomate:
            record (opcode, index, opt);
            return 0;

        case vst::audioMasterBeginEdit:
        case vst::audioMasterEndEdit:
        case vst::audioMasterUpdateDisplay:
        case vst::audioMasterIOChanged:
            record (opcode, index, 0.0f);
            return 1;

        case vst::audioMasterSizeWindow:
            record (opcode, index, (float) value);
            return resizeWindow (index, (int) value) ? 1 : 0;

        case vst::audioMasterVersion:                   return versionAnswer.load();
        case vst::audioMasterWantMidi:                  return 1;
        case vst::audioMasterGetTime:                   return (vst::IntPtr) fillTimeInfo();
        case vst::audioMasterGetSampleRate:             return (vst::IntPtr) sampleRate.load();
        case vst::audioMasterGetBlockSize:              return blockSize.load();
        case vst::audioMasterWillReplaceOrAccumulate:   return 1;
        case vst::audioMasterGetCurrentProcessLevel:    return threadIsProcessing ? processLevelRealtime : processLevelUser;
        case vst::audioMasterGetAutomationState:        return automationStateOff;
        case vst::audioMasterGetVendorVersion:          return hostVendorVersion;
        case vst::audioMasterGetLanguage:               return languageEnglish;

        case vst::audioMasterGetVendorString:
        case vst::audioMasterGetProductString:
        {
            std::lock_guard<std::mutex> guard (textLock);
            copyText (opcode == vst::audioMasterGetVendorString ? vendorText : productText,
                      ptr, (size_t) vst::kVstMaxVendorStrLen);
            return 1;
        }

        case vst::audioMasterCanDo:
        {
            if (ptr == nullptr)
                return 0;

            const std::string text (static_cast<const char*> (ptr), strnlen (static_cast<const char*> (ptr), 256));
            std::lock_guard<std::mutex> guard (textLock);

            // Only a host with a window to resize says it can.
            if (text == "sizeWindow")
                return sizeWindowHandler != nullptr ? 1 : 0;

            return std::find (canDoTexts.begin(), canDoTexts.end(), text) != canDoTexts.end() ? 1 : 0;
        }

        default:
            break;
    }

    (void) value;
    return 0;
}

//==============================================================================
vst::IntPtr VstHost::callback (vst::AEffect* effect, vst::int32 opcode, vst::int32 index,
                               vst::IntPtr value, void* ptr, float opt)
{
    using namespace vsthost_detail;
    std::shared_ptr<VstHost> registered;

    if (effect != nullptr)
    {
        auto& registry = getRegistry();
        std::lock_guard<std::mutex> guard (registry.lock);
        auto found = registry.hosts.find (effect);

        if (found != registry.hosts.end())
            registered = found->second;
    }

    if (registered != nullptr)
        return registered->handleCall (effect, opcode, index, value, ptr, opt);

    if (hostOfInstanceBeingCreated != nullptr)
        return hostOfInstanceBeingCreated->handleCall (effect, opcode, index, value, ptr, opt);

    return getFallbackHost().handleCall (effect, opcode, index, value, ptr, opt);
}

void VstHost::registerEffect (vst::AEffect* effect, std::shared_ptr<VstHost> host)
{
    auto& registry = vsthost_detail::getRegistry();
    std::lock_guard<std::mutex> guard (registry.lock);
    registry.hosts[effect] = std::move (host);
}

void VstHost::unregisterEffect (vst::AEffect* effect)
{
    auto& registry = vsthost_detail::getRegistry();
    std::lock_guard<std::mutex> guard (registry.lock);
    registry.hosts.erase (effect);
}

//==============================================================================
VstHost::ScopedCreation::ScopedCreation (VstHost& host) noexcept
    : previous (vsthost_detail::hostOfInstanceBeingCreated)
{
    vsthost_detail::hostOfInstanceBeingCreated = &host;
}

VstHost::ScopedCreation::~ScopedCreation()
{
    vsthost_detail::hostOfInstanceBeingCreated = previous;
}

VstHost::ScopedProcessing::ScopedProcessing() noexcept
    : previous (vsthost_detail::threadIsProcessing)
{
    vsthost_detail::threadIsProcessing = true;
}

VstHost::ScopedProcessing::~ScopedProcessing()
{
    vsthost_detail::threadIsProcessing = previous;
}

} // namespace vsthost
