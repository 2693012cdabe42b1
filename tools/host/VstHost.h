/*
    The host side of one plug-in instance: what the host callback answers (version,
    sample rate, block size, transport, vendor strings, canDo) and a thread-safe record
    of the notifications the plug-in sends (automation, edit gestures, display and I/O
    changes), so that tests can check what a plug-in told its host.
*/
#pragma once

#include "host/VstInterface.h"

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vsthost
{

class VstHost
{
public:
    /** One notification the plug-in sent through the host callback. */
    struct Notification
    {
        vst::int32 opcode = 0;      // audioMasterAutomate, BeginEdit, EndEdit, UpdateDisplay, IOChanged or SizeWindow
        vst::int32 index = 0;       // the parameter index where the opcode has one; the width for SizeWindow
        float value = 0.0f;         // the automated value (audioMasterAutomate); the height for SizeWindow
        std::thread::id thread;     // the thread the plug-in called from
        bool fromAudioThread = false;   // called inside processing (see ScopedProcessing)
    };

    /** Resizes the host's editor window when the plug-in asks (audioMasterSizeWindow); answers
        whether it did. Called on the thread the plug-in calls from. */
    using SizeWindowHandler = std::function<bool (int width, int height)>;

    /** Creates a host that answers as a VST 2.4 host at 44,100 Hz with blocks of 512. */
    VstHost();

    //==============================================================================
    /** Sets what the host answers to audioMasterVersion (2400; 0 makes a plug-in refuse to load). */
    void setVersionAnswer (vst::int32 version) noexcept     { versionAnswer = version; }
    /** Returns what the host answers to audioMasterVersion. */
    vst::int32 getVersionAnswer() const noexcept            { return versionAnswer; }

    /** Sets the sample rate the host reports (audioMasterGetSampleRate and the time info). */
    void setSampleRate (double newRate) noexcept            { sampleRate = newRate; }
    /** Returns the sample rate the host reports. */
    double getSampleRate() const noexcept                   { return sampleRate; }

    /** Sets the block size the host reports (audioMasterGetBlockSize). */
    void setBlockSize (vst::int32 newSize) noexcept         { blockSize = newSize; }
    /** Returns the block size the host reports. */
    vst::int32 getBlockSize() const noexcept                { return blockSize; }

    /** Sets the transport's sample position, reported in the time info. */
    void setSamplePosition (double position) noexcept       { samplePosition = position; }
    /** Moves the transport on by a number of samples (done after each processed block). */
    void advanceSamplePosition (vst::int32 numSamples) noexcept;
    /** Returns the transport's sample position. */
    double getSamplePosition() const noexcept               { return samplePosition; }

    /** Sets the tempo in beats per minute reported in the time info. */
    void setTempo (double bpm) noexcept                     { tempo = bpm; }
    /** Says whether the time info reports the transport as playing. */
    void setPlaying (bool shouldBePlaying) noexcept         { playing = shouldBePlaying; }

    /** Sets the texts answered to audioMasterGetVendorString and audioMasterGetProductString. */
    void setVendorAndProduct (std::string vendor, std::string product);
    /** Adds a text to which audioMasterCanDo answers 1 (the host answers 0 to every other text). */
    void addCanDo (std::string text);

    /** Sets what resizes the editor window (none: size requests are recorded and refused, and
        canDo "sizeWindow" answers 0). */
    void setSizeWindowHandler (SizeWindowHandler handler);

    /** Makes the host hold a lock of its own while it takes each notification, as hosts that
        guard their automation data do (null: no lock). The lock must outlive the calls. */
    void setNotificationLock (std::recursive_mutex* lock) noexcept     { notificationLock = lock; }

    //==============================================================================
    /** Returns every notification received so far, in order of arrival. */
    std::vector<Notification> getNotifications() const;
    /** Returns the notifications received so far with the given opcode, in order. */
    std::vector<Notification> getNotifications (vst::int32 opcode) const;
    /** Forgets every notification received so far and resets the call counts. */
    void clearNotifications();
    /** Returns how often the plug-in called the host with an opcode (any opcode below 64). */
    int getCallCount (vst::int32 opcode) const noexcept;

    //==============================================================================
    /** Answers one host-callback call; the static callback hands every call for this host here. */
    vst::IntPtr handleCall (vst::AEffect* effect, vst::int32 opcode, vst::int32 index,
                            vst::IntPtr value, void* ptr, float opt);

    /** The function handed to a plug-in's entry as its host callback. It finds the host of the
        calling instance (or the host whose instance is being created on this thread). */
    static vst::IntPtr callback (vst::AEffect* effect, vst::int32 opcode, vst::int32 index,
                                 vst::IntPtr value, void* ptr, float opt);

    /** Routes the callbacks of an effect record to a host; done once the entry has returned. */
    static void registerEffect (vst::AEffect* effect, std::shared_ptr<VstHost> host);
    /** Stops routing an effect's callbacks to its host; done after the instance is closed. */
    static void unregisterEffect (vst::AEffect* effect);

    /** While alive, routes callbacks made on this thread by a not yet registered effect to a host. */
    class ScopedCreation
    {
    public:
        /** Makes the host the target of this thread's unregistered callbacks. */
        explicit ScopedCreation (VstHost& host) noexcept;
        /** Restores the previous target. */
        ~ScopedCreation();
        ScopedCreation (const ScopedCreation&) = delete;
        ScopedCreation& operator= (const ScopedCreation&) = delete;

    private:
        VstHost* previous;
    };

    /** While alive, the host tells plug-ins called on this thread that they run in the audio thread. */
    class ScopedProcessing
    {
    public:
        /** Marks this thread as processing audio. */
        ScopedProcessing() noexcept;
        /** Restores the previous mark. */
        ~ScopedProcessing();
        ScopedProcessing (const ScopedProcessing&) = delete;
        ScopedProcessing& operator= (const ScopedProcessing&) = delete;

    private:
        bool previous;
    };

private:
    void record (vst::int32 opcode, vst::int32 index, float value);
    bool resizeWindow (int width, int height);
    vst::VstTimeInfo* fillTimeInfo() const;

    std::atomic<vst::int32> versionAnswer { vst::kVstVersion };
    std::atomic<double> sampleRate { 44100.0 };
    std::atomic<vst::int32> blockSize { 512 };
    std::atomic<double> samplePosition { 0.0 };
    std::atomic<double> tempo { 120.0 };
    std::atomic<bool> playing { true };

    mutable std::mutex textLock;
    std::string vendorText { "Kestrom Audio Works" }, productText { "Velcroft Test Host" };
    std::vector<std::string> canDoTexts;
    SizeWindowHandler sizeWindowHandler;      // guarded by textLock

    std::atomic<std::recursive_mutex*> notificationLock { nullptr };
    mutable std::mutex recordLock;
    std::vector<Notification> notifications;
    std::array<std::atomic<int>, 64> callCounts {};
};

} // namespace vsthost
