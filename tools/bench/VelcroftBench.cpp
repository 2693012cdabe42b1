/*
    velcroft_bench: speed, memory and agreement figures of Velcroft's bit-crusher core.

        velcroft_bench [--seconds S] [--repeats N] [--instances N] [--agreement-seconds S]
                       [--plugin PATH] [--no-plugin] [--no-agreement] [--no-memory]
                       [--rate R] [--setting 0|1|2] [--sse2] [--frequency V] [--link-freq 0|1]
                       [--offset N] [--passes]

    For each of the six host rates and three settings (factory slot 0 "MPC 60", the heaviest
    setting, the cleared preset) it reports the time per stereo host sample and the real-time
    factor (seconds of audio per second of processing, one core), through VelcroftCore's
    processStereo and through the whole plug-in loaded from the built .so; then the resident
    memory each added instance costs; then how far the fast core's output lies from the plain
    reference core's over noise. Everything is printed as Markdown tables. --sse2 runs the core
    with its baseline (SSE2) sample loop, which every x86-64 processor can run (the plug-in
    chooses for itself). --frequency holds both Frequency values at V in every setting (no
    sweep), --link-freq sets both Link Freq values: to find where within a setting the time goes.
    --offset builds each timed core N bytes into a page of its own instead of wherever the
    allocator puts it: the time per sample depends a little on where the core lies, so builds
    are compared at the same offsets. --passes adds, for the resampled rates, where the core's
    time goes: the two conversions timed on their own, and the core at 44,100 Hz (the crusher,
    meters and output, with no conversion) per host sample.
*/
#include "VelcroftAgreement.h"
#include "dsp/VectorKernels.h"
#include "tools/host/VstLibrary.h"
#include "tools/host/VstPlugin.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <malloc.h>
#include <memory>
#include <new>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace VelcroftBench
{
using VelcroftAgreement::Setting;
using Clock = std::chrono::steady_clock;

struct Options
{
    double seconds = 10.0;
    int repeats = 3;
    int instances = 50;
    double agreementSeconds = 10.0;
    std::string pluginPath = VELCROFT_PLUGIN_PATH;
    bool plugin = true, agreement = true, memory = true, passes = false;
    bool baselineKernels = false;
    int onlyRate = 0;       // 0: every rate
    int onlySetting = -1;   // -1: every setting
    float frequency = -1.0f;    // >= 0: both Frequencies held there
    float linkFreq = -1.0f;     // >= 0: both Link Freq values
    int offset = -1;            // >= 0: timed cores lie this many bytes into a page

    bool wants (int rate, int setting) const noexcept
    {
        return (onlyRate == 0 || rate == onlyRate) && (onlySetting < 0 || setting == onlySetting);
    }

    /** Setting 0, 1 or 2 with the values these options hold. */
    Setting setting (int index) const noexcept
    {
        auto s = *VelcroftAgreement::settings[index];

        if (frequency >= 0.0f)
        {
            s.values[VelcroftParameters::leftFrequency] = s.values[VelcroftParameters::rightFrequency] = frequency;
            s.sweepsFrequency = false;
        }

        if (linkFreq >= 0.0f)
            s.values[VelcroftParameters::leftLinkFreq] = s.values[VelcroftParameters::rightLinkFreq] = linkFreq;

        return s;
    }
};

/** Resident memory of this process in bytes (/proc/self/statm). */
long long residentBytes()
{
    long long size = 0, resident = 0;

    if (auto* f = std::fopen ("/proc/self/statm", "r"))
    {
        if (std::fscanf (f, "%lld %lld", &size, &resident) != 2)
            resident = 0;

        std::fclose (f);
    }

    return resident * (long long) sysconf (_SC_PAGESIZE);
}

/** Gives the heap's free pages back to the system, so that memory freed while the shared
    tables were built is not silently reused by the instances being counted. */
void releaseFreedMemory()
{
    malloc_trim (0);
}

/** A copy of the plug-in in a fresh folder, so its settings file never touches the build's. */
class PluginCopy
{
public:
    explicit PluginCopy (const std::string& source)
    {
        char pattern[] = "/tmp/velcroft-bench-XXXXXX";

        if (mkdtemp (pattern) != nullptr)
        {
            folder = pattern;
            path = (folder / "Velcroft.so").string();
            std::error_code error;
            std::filesystem::copy_file (source, path, error);

            if (error)
                path.clear();
        }
    }

    ~PluginCopy()
    {
        std::error_code error;

        if (! folder.empty())
            std::filesystem::remove_all (folder, error);
    }

    std::filesystem::path folder;
    std::string path;
};

//==============================================================================
/** A core built by the allocator, or at a chosen offset into a page-aligned block. */
class PlacedCore
{
public:
    explicit PlacedCore (int offset)
    {
        if (offset < 0)
        {
            owned = std::make_unique<VelcroftCore> (nullptr);
            core = owned.get();
            return;
        }

        constexpr size_t page = 4096;
        const auto place = (size_t) offset / alignof (VelcroftCore) * alignof (VelcroftCore);
        const auto bytes = (place + sizeof (VelcroftCore) + page - 1) / page * page;
        block.reset (static_cast<char*> (std::aligned_alloc (page, bytes)));

        if (block == nullptr)
            throw std::bad_alloc();

        core = new (block.get() + place) VelcroftCore (nullptr);
    }

    ~PlacedCore()
    {
        if (owned == nullptr)
            core->~VelcroftCore();
    }

    VelcroftCore& operator*() const noexcept    { return *core; }
    VelcroftCore* operator->() const noexcept   { return core; }

private:
    struct Free { void operator() (char* p) const noexcept { std::free (p); } };

    std::unique_ptr<VelcroftCore> owned;
    std::unique_ptr<char, Free> block;
    VelcroftCore* core = nullptr;

    JUCE_DECLARE_NON_COPYABLE (PlacedCore)
};

/** Best time over the repeats of processing the noise through VelcroftCore, in ns per
    stereo host sample. */
double timeCore (const Setting& setting, int rate, const Options& options)
{
    const auto frames = (std::int64_t) (options.seconds * rate);
    std::vector<float> inL, inR;
    VelcroftAgreement::makeNoise (inL, inR, frames);
    double best = 1.0e300;

    for (int repeat = 0; repeat < options.repeats; ++repeat)
    {
        PlacedCore core (options.offset);
        VelcroftAgreement::applySetting (*core, setting);
        core->prepare (VelcroftAgreement::blockSize);
        core->setSampleRate ((float) rate);
        auto l = inL, r = inR;

        const auto start = Clock::now();

        for (std::int64_t pos = 0; pos < frames; pos += VelcroftAgreement::blockSize)
        {
            const auto n = (int) std::min ((std::int64_t) VelcroftAgreement::blockSize, frames - pos);
            VelcroftAgreement::beforeBlock (*core, setting, pos, rate);
            float* lp = l.data() + pos;
            float* rp = r.data() + pos;
            core->processStereo (&lp, &rp, n);
        }

        const std::chrono::duration<double, std::nano> elapsed = Clock::now() - start;
        best = std::min (best, elapsed.count() / (double) frames);
    }

    return best;
}

/** The same through the whole plug-in, as a host drives it (separate input and output
    buffers, parameters set by the host between blocks). */
double timePlugin (vsthost::VstPlugin& plugin, const Setting& setting, int rate, const Options& options)
{
    const auto frames = (std::int64_t) (options.seconds * rate);
    const auto block = VelcroftAgreement::blockSize;
    std::vector<float> inL, inR, outL ((size_t) block), outR ((size_t) block);
    VelcroftAgreement::makeNoise (inL, inR, frames);
    double best = 1.0e300;

    for (int repeat = 0; repeat < options.repeats; ++repeat)
    {
        plugin.setMainsOn (false);
        plugin.setSampleRate (rate);
        plugin.setBlockSize (block);

        for (int i = 0; i < VelcroftParameters::numParameters; ++i)
            plugin.setParameter (i, setting.values[i]);

        plugin.setMainsOn (true);
        const auto start = Clock::now();

        for (std::int64_t pos = 0; pos < frames; pos += block)
        {
            const auto n = (int) std::min ((std::int64_t) block, frames - pos);

            if (setting.sweepsFrequency)
            {
                plugin.setParameter (VelcroftParameters::leftFrequency, VelcroftAgreement::sweptFrequency (0, pos, rate));
                plugin.setParameter (VelcroftParameters::rightFrequency, VelcroftAgreement::sweptFrequency (1, pos, rate));
            }

            const float* inputs[] = { inL.data() + pos, inR.data() + pos };
            float* outputs[] = { outL.data(), outR.data() };
            plugin.process (inputs, outputs, n);
        }

        const std::chrono::duration<double, std::nano> elapsed = Clock::now() - start;
        best = std::min (best, elapsed.count() / (double) frames);
    }

    return best;
}

void printSpeedTable (const char* title, const std::vector<std::vector<double>>& nanoseconds)
{
    std::printf ("\n### %s\n\n", title);
    std::printf ("| host rate |");

    for (auto* s : VelcroftAgreement::settings)
        std::printf (" %s: ns/sample | RT factor |", s->name);

    std::printf ("\n|---:|");

    for (size_t i = 0; i < std::size (VelcroftAgreement::settings); ++i)
        std::printf ("---:|---:|");

    std::printf ("\n");

    for (size_t r = 0; r < std::size (VelcroftAgreement::hostRates); ++r)
    {
        const auto rate = VelcroftAgreement::hostRates[r];
        std::printf ("| %d Hz |", rate);

        for (const auto ns : nanoseconds[r])
        {
            if (ns > 0.0)
                std::printf (" %.1f | %.0f |", ns, 1.0e9 / (ns * rate));
            else
                std::printf (" - | - |");
        }

        std::printf ("\n");
    }

    std::fflush (stdout);
}

//==============================================================================
/** One chunk through a converter as the core hands it over: the chunk's samples copied in,
    then converted in the sample loop's width. */
template <int Width, typename Sample, typename Input>
VELCROFT_ALWAYS_INLINE int convertChunk (RateConverter<Sample>& converter, const Input* left, const Input* right,
                                         int stride, int count, double* out) noexcept
{
    auto* l = converter.getLeftInput();
    auto* r = converter.getRightInput();

    for (int i = 0; i < count; ++i)
    {
        l[i] = (Sample) left[i * stride];
        r[i] = (Sample) right[i * stride];
    }

    return converter.template convert<Width> (count, out);
}

#if defined (__x86_64__)
template <typename Sample, typename Input>
__attribute__ ((target ("avx2,fma"))) int convertChunkWide (RateConverter<Sample>& converter, const Input* left, const Input* right,
                                                            int stride, int count, double* out)
{
    return convertChunk<4> (converter, left, right, stride, count, out);
}
#endif

template <typename Sample, typename Input>
int convertChunkActive (RateConverter<Sample>& converter, const Input* left, const Input* right, int stride, int count, double* out)
{
   #if defined (__x86_64__)
    if (VectorKernels::getActive().wide)
        return convertChunkWide (converter, left, right, stride, count, out);
   #endif

    return convertChunk<2> (converter, left, right, stride, count, out);
}

/** Best times over the repeats of converting the noise to 44,100 Hz and back on its own, in
    chunks as the core converts them, in ns per stereo host sample: { in, out }. */
std::pair<double, double> timeConversions (int rate, const Options& options)
{
    const auto frames = (std::int64_t) (options.seconds * rate);
    std::vector<float> inL, inR;
    VelcroftAgreement::makeNoise (inL, inR, frames);
    constexpr int chunk = RateConverter<double>::maxBlock;
    std::vector<double> converted, back;
    std::vector<int> chunkFrames;
    double bestIn = 1.0e300, bestOut = 1.0e300;

    for (int repeat = 0; repeat < options.repeats; ++repeat)
    {
        RateConverter<double> in (rate, 44100);
        RateConverter<float> out (44100, rate);
        converted.assign (2 * (size_t) (frames + 64), 0.0);
        back.assign (2 * (size_t) (frames + 64 * (frames / chunk + 1)), 0.0);
        chunkFrames.clear();
        std::int64_t made = 0, madeBack = 0;

        auto start = Clock::now();

        for (std::int64_t pos = 0; pos < frames; pos += chunk)
        {
            const auto n = (int) std::min ((std::int64_t) chunk, frames - pos);
            const auto f = convertChunkActive (in, inL.data() + pos, inR.data() + pos, 1, n, converted.data() + 2 * made);
            chunkFrames.push_back (f);
            made += f;
        }

        const std::chrono::duration<double, std::nano> inTime = Clock::now() - start;
        start = Clock::now();
        std::int64_t taken = 0;

        for (const auto f : chunkFrames)
        {
            const auto* frame = converted.data() + 2 * taken;
            madeBack += convertChunkActive (out, frame, frame + 1, 2, f, back.data() + 2 * madeBack);
            taken += f;
        }

        const std::chrono::duration<double, std::nano> outTime = Clock::now() - start;
        bestIn = std::min (bestIn, inTime.count() / (double) frames);
        bestOut = std::min (bestOut, outTime.count() / (double) frames);
    }

    return { bestIn, bestOut };
}

/** Where the core's time goes at the resampled rates (see --passes). */
void runPasses (const Options& options)
{
    std::printf ("\n### Where the time goes at the resampled rates, ns per stereo host sample\n\n"
                 "The conversions timed on their own (in chunks, as the core converts them); the core at 44,100 Hz "
                 "(crusher, meters, output) scaled to the host rate's samples; the rest is what running them together "
                 "adds (caches shared, input copies).\n\n");
    std::printf ("| host rate | setting | core | conversion in | conversion out | core at 44,100 Hz, scaled | rest |\n");
    std::printf ("|---:|---|---:|---:|---:|---:|---:|\n");

    // The core at 44,100 Hz, per 44,100 Hz sample, once for each setting asked for.
    double atBaseRate[3] = {};

    for (int s = 0; s < 3; ++s)
        if (options.onlySetting < 0 || options.onlySetting == s)
            atBaseRate[s] = timeCore (options.setting (s), 44100, options);

    for (const auto rate : VelcroftAgreement::hostRates)
    {
        if (rate == 44100 || (options.onlyRate != 0 && rate != options.onlyRate))
            continue;

        const auto conversions = timeConversions (rate, options);

        for (int s = 0; s < 3; ++s)
        {
            if (! options.wants (rate, s))
                continue;

            const auto setting = options.setting (s);
            const auto whole = timeCore (setting, rate, options);
            const auto crusher = atBaseRate[s] * 44100.0 / rate;
            std::printf ("| %d Hz | %s | %.1f | %.1f | %.1f | %.1f | %.1f |\n", rate, setting.name, whole, conversions.first,
                         conversions.second, crusher, whole - conversions.first - conversions.second - crusher);
        }
    }

    std::fflush (stdout);
}

void runSpeed (const Options& options)
{
    std::vector<std::vector<double>> core;

    for (const auto rate : VelcroftAgreement::hostRates)
    {
        core.emplace_back();

        for (int s = 0; s < 3; ++s)
            core.back().push_back (options.wants (rate, s) ? timeCore (options.setting (s), rate, options) : 0.0);
    }

    printSpeedTable ("VelcroftCore::processStereo, blocks of 512", core);

    if (! options.plugin)
        return;

    PluginCopy copy (options.pluginPath);
    std::string error;
    auto plugin = copy.path.empty() ? nullptr : vsthost::VstPlugin::open (copy.path, error);

    if (plugin == nullptr)
    {
        std::printf ("\n(plug-in not measured: %s)\n", error.empty() ? "cannot copy it" : error.c_str());
        return;
    }

    std::vector<std::vector<double>> whole;

    for (const auto rate : VelcroftAgreement::hostRates)
    {
        whole.emplace_back();

        for (int s = 0; s < 3; ++s)
            whole.back().push_back (options.wants (rate, s) ? timePlugin (*plugin, options.setting (s), rate, options) : 0.0);
    }

    plugin->close();
    printSpeedTable ("Whole plug-in through Velcroft.so (processReplacing), blocks of 512", whole);
}

/** Runs a measurement in a child process, so that memory freed by earlier measurements
    (which the allocator keeps) cannot hide the growth of this one. */
template <typename Function>
void runInChild (Function&& function)
{
    std::fflush (stdout);
    const auto child = fork();

    if (child == 0)
    {
        function();
        std::fflush (stdout);
        _exit (0);
    }

    if (child > 0)
    {
        int status = 0;
        waitpid (child, &status, 0);
    }
}

void measureCoreMemory (const Options& options)
{
    std::vector<float> l (VelcroftAgreement::blockSize, 0.25f), r (VelcroftAgreement::blockSize, -0.25f);
    // The first instance builds the shared tables; they are not counted.
    std::vector<std::unique_ptr<VelcroftCore>> cores;

    const auto addCore = [&]
    {
        cores.push_back (std::make_unique<VelcroftCore> (nullptr));
        VelcroftAgreement::applySetting (*cores.back(), VelcroftAgreement::worstCase);
        cores.back()->prepare (VelcroftAgreement::blockSize);
        cores.back()->setSampleRate (192000.0f);
        float* lp = l.data();
        float* rp = r.data();
        cores.back()->processStereo (&lp, &rp, VelcroftAgreement::blockSize);
    };

    addCore();
    releaseFreedMemory();
    const auto before = residentBytes();

    for (int i = 0; i < options.instances; ++i)
        addCore();

    const auto growth = residentBytes() - before;
    std::printf ("| VelcroftCore | %.1f KiB | %.1f KiB |\n", (double) growth / 1024.0,
                 (double) growth / 1024.0 / options.instances);
}

void measurePluginMemory (const Options& options)
{
    std::vector<float> l (VelcroftAgreement::blockSize, 0.25f), r (VelcroftAgreement::blockSize, -0.25f);
    PluginCopy copy (options.pluginPath);
    std::string error;
    auto library = copy.path.empty() ? nullptr : vsthost::VstLibrary::open (copy.path, error);

    if (library == nullptr)
        return;

    std::vector<std::unique_ptr<vsthost::VstPlugin>> plugins;
    std::vector<float> outL (l.size()), outR (r.size());

    const auto addPlugin = [&]
    {
        auto plugin = vsthost::VstPlugin::open (library, std::make_shared<vsthost::VstHost>(), error);

        if (plugin == nullptr)
            return false;

        plugin->setSampleRate (192000.0);
        plugin->setBlockSize (VelcroftAgreement::blockSize);
        plugin->setMainsOn (true);
        const float* inputs[] = { l.data(), r.data() };
        float* outputs[] = { outL.data(), outR.data() };
        plugin->process (inputs, outputs, VelcroftAgreement::blockSize);
        plugins.push_back (std::move (plugin));
        return true;
    };

    if (! addPlugin())
        return;

    releaseFreedMemory();
    const auto before = residentBytes();
    int added = 0;

    for (int i = 0; i < options.instances && addPlugin(); ++i)
        ++added;

    const auto growth = residentBytes() - before;

    if (added > 0)
        std::printf ("| whole plug-in (with its editor) | %.1f KiB | %.1f KiB |\n", (double) growth / 1024.0,
                     (double) growth / 1024.0 / added);

    for (auto& p : plugins)
        p->close();
}

void runMemory (const Options& options)
{
    std::printf ("\n### Resident memory per added instance (%d instances at 192,000 Hz)\n\n", options.instances);
    std::printf ("| what | RSS growth | per instance |\n|---|---:|---:|\n");
    runInChild ([&] { measureCoreMemory (options); });

    if (options.plugin)
        runInChild ([&] { measurePluginMemory (options); });
}

void runAgreement (const Options& options)
{
    std::printf ("\n### Agreement with the reference core (%.0f s of noise per case)\n\n", options.agreementSeconds);
    std::printf ("| host rate | setting | RMS difference | max difference L / R | allowed L / R | agrees |\n");
    std::printf ("|---:|---|---:|---:|---:|---|\n");
    bool all = true;

    for (const auto rate : VelcroftAgreement::hostRates)
    {
        for (int index = 0; index < 3; ++index)
        {
            if (! options.wants (rate, index))
                continue;

            const auto s = options.setting (index);
            const auto result = VelcroftAgreement::compare (s, rate, options.agreementSeconds);
            all = all && result.agrees();
            std::printf ("| %d Hz | %s | %.3g | %.3g / %.3g | %.3g / %.3g | %s |\n", rate, s.name, result.rms,
                         result.maxDifference[0], result.maxDifference[1], result.allowed[0], result.allowed[1],
                         result.agrees() ? "yes" : "NO");
            std::fflush (stdout);
        }
    }

    std::printf ("\nAll cases agree: %s\n", all ? "yes" : "NO");
}

bool parse (int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i)
    {
        const std::string option = argv[i];
        const auto hasValue = i + 1 < argc;

        if (option == "--seconds" && hasValue)                  options.seconds = std::atof (argv[++i]);
        else if (option == "--repeats" && hasValue)             options.repeats = std::atoi (argv[++i]);
        else if (option == "--instances" && hasValue)           options.instances = std::atoi (argv[++i]);
        else if (option == "--agreement-seconds" && hasValue)   options.agreementSeconds = std::atof (argv[++i]);
        else if (option == "--plugin" && hasValue)              options.pluginPath = argv[++i];
        else if (option == "--rate" && hasValue)                options.onlyRate = std::atoi (argv[++i]);
        else if (option == "--setting" && hasValue)             options.onlySetting = std::atoi (argv[++i]);
        else if (option == "--no-plugin")                       options.plugin = false;
        else if (option == "--sse2")                            options.baselineKernels = true;
        else if (option == "--no-agreement")                    options.agreement = false;
        else if (option == "--no-memory")                       options.memory = false;
        else if (option == "--frequency" && hasValue)           options.frequency = (float) std::atof (argv[++i]);
        else if (option == "--link-freq" && hasValue)           options.linkFreq = (float) std::atof (argv[++i]);
        else if (option == "--offset" && hasValue)              options.offset = std::atoi (argv[++i]);
        else if (option == "--passes")                          options.passes = true;
        else return false;
    }

    return options.seconds > 0.0 && options.repeats > 0 && options.instances > 0 && options.agreementSeconds > 0.0
        && options.frequency <= 1.0f && options.linkFreq <= 1.0f && options.offset < 4096;
}
} // namespace VelcroftBench

int main (int argc, char** argv)
{
    using namespace VelcroftBench;
    Options options;

    if (! parse (argc, argv, options))
    {
        std::fprintf (stderr, "usage: velcroft_bench [--seconds S] [--repeats N] [--instances N] [--agreement-seconds S]\n"
                              "                      [--plugin PATH] [--no-plugin] [--no-agreement] [--no-memory]\n"
                              "                      [--rate R] [--setting 0|1|2] [--sse2] [--frequency V] [--link-freq 0|1]\n"
                              "                      [--offset N] [--passes]\n");
        return 2;
    }

    // --sse2 measures the core with its baseline loop; the plug-in always picks its own.
    VectorKernels::select (! options.baselineKernels);

    std::printf ("## Velcroft bit-crusher core: %.0f s of stereo noise per case, best of %d runs, %s sample loop\n",
                 options.seconds, options.repeats, VectorKernels::getActive().name);
    runSpeed (options);

    if (options.passes)
        runPasses (options);

    if (options.memory)
        runMemory (options);

    if (options.agreement)
        runAgreement (options);

    return 0;
}
