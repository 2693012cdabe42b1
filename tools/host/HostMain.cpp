/*
    velcroft_host: a small command-line VST 2.4 host for Linux.

        velcroft_host info <plugin.so>
        velcroft_host render <plugin.so> (--in <in.wav> | --demo <seconds>) --out <out.wav> [options]
        velcroft_host demo-signal <out.wav> [--rate R] [--seconds S]
        velcroft_host idle <plugin.so> [--seconds S]
        velcroft_host editor <plugin.so> [--script FILE | --actions "A; B; ..."] --out <folder>

    Exit status: 0 on success, 1 when the work fails, 2 for bad arguments.
*/
#include "tools/host/DemoSignal.h"
#include "tools/host/EditorSession.h"
#include "tools/host/HostFile.h"
#include "tools/host/ProcessUsage.h"
#include "tools/host/VstPlugin.h"
#include "tools/host/WavFile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace hostmain_detail
{
    using vsthost::VstPlugin;

    constexpr int exitFailure = 1;
    constexpr int exitUsage = 2;

    void printUsage (std::ostream& out)
    {
        out << "usage:\n"
               "  velcroft_host info <plugin.so>\n"
               "  velcroft_host render <plugin.so> (--in <in.wav> | --demo <seconds>) --out <out.wav>\n"
               "        [--rate R] [--block N[,N...]] [--tail FRAMES] [--bits 16|24|32]\n"
               "        [--set INDEX=VALUE[@SAMPLE] ...] [--program SAMPLE:NUMBER ...]\n"
               "        [--cc SAMPLE:CONTROLLER:VALUE ...]\n"
               "        [--load-state FILE] [--save-state FILE] [--load-program FILE] [--save-program FILE]\n"
               "  velcroft_host demo-signal <out.wav> [--rate R] [--seconds S]\n"
               "  velcroft_host idle <plugin.so> [--seconds S]\n"
               "  velcroft_host editor <plugin.so> [--script FILE | --actions \"A; B; ...\"] --out <folder>\n"
               "        [--state FILE]\n"
               "\n"
               "  --block takes one size or a list of sizes used in turn; --set values are normalised (0..1);\n"
               "  --program and --cc send MIDI on channel 1 at an absolute sample position.\n"
               "  idle opens and resumes an instance, leaves it alone for S seconds (5 by default) and prints\n"
               "  what the whole process used meanwhile: CPU time and wake-ups per second.\n"
               "  editor opens the plug-in's editor in an X window (DISPLAY; Xvfb in tests), runs the actions\n"
               "  (click X Y, ctrl-click X Y, drag X1 Y1 X2 Y2, press X Y, release X Y, key NAME, type TEXT, set INDEX VALUE,\n"
               "  program N, cc N V, audio MS [sine|demo|silence], wait MS, screenshot NAME, reopen, close, open,\n"
               "  cpu MS [audio], await-size W H, await-change), writes\n"
               "  NAME.png into the folder and prints what the host saw (size requests, edits, automation)\n"
               "  and the time to the first painted picture. --state loads a state chunk file first.\n";
    }

    /** Thrown for a bad command line; main prints the message and the usage. */
    struct UsageError
    {
        std::string message;
    };

    long long parseInteger (const std::string& text, const std::string& what, long long low, long long high)
    {
        errno = 0;
        char* end = nullptr;
        const auto value = std::strtoll (text.c_str(), &end, 10);

        if (text.empty() || end == nullptr || *end != 0 || errno != 0 || value < low || value > high)
            throw UsageError { "invalid " + what + " '" + text + "' (expected an integer from "
                               + std::to_string (low) + " to " + std::to_string (high) + ")" };

        return value;
    }

    double parseNumber (const std::string& text, const std::string& what, double low, double high)
    {
        errno = 0;
        char* end = nullptr;
        const auto value = std::strtod (text.c_str(), &end);

        if (text.empty() || end == nullptr || *end != 0 || errno != 0 || ! std::isfinite (value) || value < low || value > high)
            throw UsageError { "invalid " + what + " '" + text + "'" };

        return value;
    }

    std::vector<std::string> split (const std::string& text, char separator)
    {
        std::vector<std::string> parts;
        size_t start = 0;

        for (;;)
        {
            const auto found = text.find (separator, start);
            parts.push_back (text.substr (start, found == std::string::npos ? std::string::npos : found - start));

            if (found == std::string::npos)
                return parts;

            start = found + 1;
        }
    }

    /** Walks the arguments after the command's positional ones. */
    struct Arguments
    {
        std::vector<std::string> items;
        size_t next = 0;

        bool done() const               { return next >= items.size(); }
        std::string take()              { return items[next++]; }

        std::string valueOf (const std::string& option)
        {
            if (done())
                throw UsageError { option + " needs a value" };

            return take();
        }
    };

    std::unique_ptr<VstPlugin> openPlugin (const std::string& path)
    {
        std::string error;
        auto plugin = VstPlugin::open (path, error);

        if (plugin == nullptr)
            std::cerr << "error: " << error << "\n";

        return plugin;
    }

    //==============================================================================
    int runInfo (Arguments& args)
    {
        if (args.done())
            throw UsageError { "info needs a plug-in file" };

        const auto path = args.take();

        if (! args.done())
            throw UsageError { "unexpected argument '" + args.take() + "'" };

        auto plugin = openPlugin (path);

        if (plugin == nullptr)
            return exitFailure;

        const auto flags = plugin->getFlags();
        std::string flagNames;

        for (auto [bit, name] : { std::pair<vst::int32, const char*> { vst::effFlagsHasEditor, "editor" },
                                  { vst::effFlagsCanReplacing, "replacing" },
                                  { vst::effFlagsProgramChunks, "chunks" },
                                  { vst::effFlagsIsSynth, "synth" },
                                  { vst::effFlagsNoSoundInStop, "noSoundInStop" },
                                  { vst::effFlagsCanDoubleReplacing, "doubleReplacing" } })
            if ((flags & bit) != 0)
                flagNames += (flagNames.empty() ? "" : " ") + std::string (name);

        std::cout << "file:           " << path << " (entry " << plugin->getLibrary()->getEntryName() << ")\n"
                  << "name:           " << plugin->getName() << "\n"
                  << "vendor:         " << plugin->getVendor() << "\n"
                  << "product:        " << plugin->getProduct() << "\n"
                  << "vendor version: " << plugin->getVendorVersion() << "\n"
                  << "VST version:    " << plugin->getVstVersion() << "\n"
                  << "unique id:      " << VstPlugin::uniqueIdToText (plugin->getUniqueId()) << "\n"
                  << "flags:          " << flags << (flagNames.empty() ? "" : " (" + flagNames + ")") << "\n"
                  << "category:       " << plugin->getCategory() << "\n"
                  << "inputs:         " << plugin->getNumInputs() << "\n"
                  << "outputs:        " << plugin->getNumOutputs() << "\n"
                  << "latency:        " << plugin->getInitialDelay() << "\n"
                  << "programs:       " << plugin->getNumPrograms() << "\n"
                  << "parameters:     " << plugin->getNumParameters() << "\n"
                  << "canDo:\n";

        for (const char* text : { "sendVstEvents", "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent",
                                  "receiveVstTimeInfo", "offline", "midiProgramNames", "bypass" })
        {
            const auto answer = plugin->canDo (text);
            std::cout << "  " << text << ": " << (answer > 0 ? "yes" : (answer < 0 ? "no" : "don't know")) << "\n";
        }

        std::cout << "parameter list (index, name, value, display, label):\n";

        for (int i = 0; i < plugin->getNumParameters(); ++i)
        {
            char value[32];
            std::snprintf (value, sizeof (value), "%.6f", (double) plugin->getParameter (i));
            std::cout << "  " << i << "  " << plugin->getParameterName (i) << "  value " << value
                      << "  display \"" << plugin->getParameterDisplay (i) << "\"  label \""
                      << plugin->getParameterLabel (i) << "\"\n";
        }

        return 0;
    }

    //==============================================================================
    struct RenderCommand
    {
        std::string pluginPath, inputPath, outputPath;
        std::optional<double> demoSeconds;
        std::optional<double> rate;
        std::string loadState, saveState, loadProgram, saveProgram;
        vsthost::WavFile::SampleFormat format = vsthost::WavFile::SampleFormat::float32;
        VstPlugin::RenderOptions options;
    };

    RenderCommand parseRender (Arguments& args)
    {
        if (args.done())
            throw UsageError { "render needs a plug-in file" };

        RenderCommand command;
        command.pluginPath = args.take();
        command.options.blockSizes = { 512 };
        constexpr auto maxPosition = (long long) 1 << 40;

        while (! args.done())
        {
            const auto option = args.take();

            if (option == "--in")                   command.inputPath = args.valueOf (option);
            else if (option == "--out")             command.outputPath = args.valueOf (option);
            else if (option == "--demo")            command.demoSeconds = parseNumber (args.valueOf (option), "--demo length", 0.001, vsthost::DemoSignal::maxSeconds);
            else if (option == "--rate")            command.rate = parseNumber (args.valueOf (option), "--rate", 8000.0, 1000000.0);
            else if (option == "--tail")            command.options.tailFrames = parseInteger (args.valueOf (option), "--tail", 0, 1 << 30);
            else if (option == "--load-state")      command.loadState = args.valueOf (option);
            else if (option == "--save-state")      command.saveState = args.valueOf (option);
            else if (option == "--load-program")    command.loadProgram = args.valueOf (option);
            else if (option == "--save-program")    command.saveProgram = args.valueOf (option);
            else if (option == "--block")
            {
                command.options.blockSizes.clear();

                for (auto& size : split (args.valueOf (option), ','))
                    command.options.blockSizes.push_back ((int) parseInteger (size, "block size", 1, 1 << 20));
            }
            else if (option == "--bits")
            {
                const auto bits = parseInteger (args.valueOf (option), "--bits", 16, 32);

                if (bits != 16 && bits != 24 && bits != 32)
                    throw UsageError { "--bits must be 16, 24 or 32" };

                command.format = bits == 16 ? vsthost::WavFile::SampleFormat::int16
                               : bits == 24 ? vsthost::WavFile::SampleFormat::int24
                                            : vsthost::WavFile::SampleFormat::float32;
            }
            else if (option == "--set")
            {
                const auto text = args.valueOf (option);
                const auto equals = text.find ('=');

                if (equals == std::string::npos)
                    throw UsageError { "--set takes INDEX=VALUE[@SAMPLE], not '" + text + "'" };

                auto valueText = text.substr (equals + 1);
                long long position = 0;
                const auto at = valueText.find ('@');

                if (at != std::string::npos)
                {
                    position = parseInteger (valueText.substr (at + 1), "--set sample position", 0, maxPosition);
                    valueText = valueText.substr (0, at);
                }

                command.options.parameterChanges.push_back ({ position,
                                                              (vst::int32) parseInteger (text.substr (0, equals), "parameter index", 0, 1 << 20),
                                                              (float) parseNumber (valueText, "parameter value", -1.0e6, 1.0e6) });
            }
            else if (option == "--program")
            {
                const auto parts = split (args.valueOf (option), ':');

                if (parts.size() != 2)
                    throw UsageError { "--program takes SAMPLE:NUMBER" };

                command.options.midiEvents.push_back ({ parseInteger (parts[0], "--program sample position", 0, maxPosition),
                                                        VstPlugin::MidiEvent::programChange ((int) parseInteger (parts[1], "program number", 0, 127)) });
            }
            else if (option == "--cc")
            {
                const auto parts = split (args.valueOf (option), ':');

                if (parts.size() != 3)
                    throw UsageError { "--cc takes SAMPLE:CONTROLLER:VALUE" };

                command.options.midiEvents.push_back ({ parseInteger (parts[0], "--cc sample position", 0, maxPosition),
                                                        VstPlugin::MidiEvent::controlChange ((int) parseInteger (parts[1], "controller", 0, 127),
                                                                                             (int) parseInteger (parts[2], "controller value", 0, 127)) });
            }
            else
            {
                throw UsageError { "unknown option '" + option + "'" };
            }
        }

        if (command.inputPath.empty() == ! command.demoSeconds.has_value())
            throw UsageError { "render needs exactly one of --in and --demo" };

        if (command.outputPath.empty())
            throw UsageError { "render needs --out" };

        return command;
    }

    void printLevels (const vsthost::AudioData& audio)
    {
        double peak = 0.0, sumOfSquares = 0.0;
        std::int64_t count = 0;
        bool allFinite = true;

        for (auto& channel : audio.channels)
        {
            for (auto sample : channel)
            {
                if (! std::isfinite (sample))
                {
                    allFinite = false;
                    continue;
                }

                peak = std::max (peak, (double) std::abs (sample));
                sumOfSquares += (double) sample * sample;
                ++count;
            }
        }

        const auto rms = count > 0 ? std::sqrt (sumOfSquares / (double) count) : 0.0;
        auto decibels = [] (double v) { return v > 0.0 ? 20.0 * std::log10 (v) : -INFINITY; };

        std::printf ("peak: %.6f (%.2f dBFS)\nrms:  %.6f (%.2f dBFS)\n", peak, decibels (peak), rms, decibels (rms));

        if (! allFinite)
            std::printf ("warning: the output holds samples that are not finite\n");
    }

    int runRender (Arguments& args)
    {
        auto command = parseRender (args);
        std::string error;
        vsthost::AudioData input;

        if (command.demoSeconds.has_value())
        {
            input = vsthost::DemoSignal::make (command.rate.value_or (44100.0), *command.demoSeconds);
        }
        else if (! vsthost::WavFile::read (command.inputPath, input, error))
        {
            std::cerr << "error: " << error << "\n";
            return exitFailure;
        }

        if (command.rate.has_value())
            input.sampleRate = *command.rate;

        auto plugin = openPlugin (command.pluginPath);

        if (plugin == nullptr)
            return exitFailure;

        for (auto& change : command.options.parameterChanges)
        {
            if (change.index >= plugin->getNumParameters())
            {
                std::cerr << "error: the plug-in has no parameter " << change.index
                          << " (it has " << plugin->getNumParameters() << ")\n";
                return exitFailure;
            }
        }

        plugin->setSampleRate (input.sampleRate);

        if ((! command.loadState.empty() && ! plugin->loadChunk (command.loadState, false, error))
            || (! command.loadProgram.empty() && ! plugin->loadChunk (command.loadProgram, true, error)))
        {
            std::cerr << "error: " << error << "\n";
            return exitFailure;
        }

        vsthost::AudioData output;

        if (! plugin->render (input, command.options, output, error))
        {
            std::cerr << "error: " << error << "\n";
            return exitFailure;
        }

        if (output.getNumChannels() == 0)
        {
            std::cerr << "error: the plug-in has no outputs\n";
            return exitFailure;
        }

        if (! vsthost::WavFile::write (command.outputPath, output, command.format, error))
        {
            std::cerr << "error: " << error << "\n";
            return exitFailure;
        }

        std::printf ("rendered %lld frames, %d channels at %.0f Hz\n",
                     (long long) output.getNumFrames(), output.getNumChannels(), output.sampleRate);
        printLevels (output);
        std::printf ("wrote %s\n", command.outputPath.c_str());

        for (auto [path, programOnly] : { std::pair<const std::string&, bool> { command.saveState, false },
                                          { command.saveProgram, true } })
        {
            if (path.empty())
                continue;

            if (! plugin->saveChunk (path, programOnly, error))
            {
                std::cerr << "error: " << error << "\n";
                return exitFailure;
            }

            std::printf ("wrote %s\n", path.c_str());
        }

        return 0;
    }

    //==============================================================================
    int runDemoSignal (Arguments& args)
    {
        if (args.done())
            throw UsageError { "demo-signal needs an output file" };

        const auto path = args.take();
        double rate = 44100.0, seconds = 4.0;

        while (! args.done())
        {
            const auto option = args.take();

            if (option == "--rate")             rate = parseNumber (args.valueOf (option), "--rate", 8000.0, 1000000.0);
            else if (option == "--seconds")     seconds = parseNumber (args.valueOf (option), "--seconds", 0.001, vsthost::DemoSignal::maxSeconds);
            else                                throw UsageError { "unknown option '" + option + "'" };
        }

        const auto signal = vsthost::DemoSignal::make (rate, seconds);
        std::string error;

        if (! vsthost::WavFile::write (path, signal, vsthost::WavFile::SampleFormat::float32, error))
        {
            std::cerr << "error: " << error << "\n";
            return exitFailure;
        }

        std::printf ("wrote %s (%lld frames, 2 channels at %.0f Hz)\n", path.c_str(), (long long) signal.getNumFrames(), rate);
        return 0;
    }

    //==============================================================================
    int runIdle (Arguments& args)
    {
        if (args.done())
            throw UsageError { "idle needs a plug-in file" };

        const auto path = args.take();
        double seconds = 5.0;

        while (! args.done())
        {
            const auto option = args.take();

            if (option == "--seconds")          seconds = parseNumber (args.valueOf (option), "--seconds", 0.1, 3600.0);
            else                                throw UsageError { "unknown option '" + option + "'" };
        }

        auto plugin = openPlugin (path);

        if (plugin == nullptr)
            return exitFailure;

        plugin->setMainsOn (true);

        // What opening posted (settings, presets) is done before the measured stretch begins.
        std::this_thread::sleep_for (std::chrono::milliseconds (500));

        const auto before = vsthost::ProcessUsage::now();
        std::this_thread::sleep_for (std::chrono::duration<double> (seconds));
        const auto used = vsthost::ProcessUsage::now().since (before);

        std::printf ("idle:                %.1f s with the instance open and resumed\n"
                     "cpu-ms-per-second:   %.3f (user %.3f, system %.3f)\n"
                     "wake-ups-per-second: %.1f\n",
                     seconds, 1000.0 * used.cpuSeconds() / seconds,
                     1000.0 * used.userSeconds / seconds, 1000.0 * used.systemSeconds / seconds,
                     (double) used.wakeUps / seconds);
        return 0;
    }
    //==============================================================================
    int runEditor (Arguments& args)
    {
        if (args.done())
            throw UsageError { "editor needs a plug-in file" };

        const auto path = args.take();
        std::string scriptText, outFolder, statePath;
        bool haveScript = false;

        while (! args.done())
        {
            const auto option = args.take();

            if (option == "--script" || option == "--actions")
            {
                if (haveScript)
                    throw UsageError { "editor takes one --script or --actions" };

                haveScript = true;
                const auto value = args.valueOf (option);

                if (option == "--actions")
                {
                    scriptText = value;
                }
                else
                {
                    std::vector<std::uint8_t> bytes;
                    std::string error;

                    if (! vsthost::HostFile::read (value, bytes, error, 1 << 20))
                        throw UsageError { error };

                    scriptText.assign (bytes.begin(), bytes.end());
                }
            }
            else if (option == "--out")     outFolder = args.valueOf (option);
            else if (option == "--state")   statePath = args.valueOf (option);
            else                            throw UsageError { "unknown option '" + option + "'" };
        }

        if (outFolder.empty())
            throw UsageError { "editor needs --out" };

        std::error_code folderError;
        std::filesystem::create_directories (outFolder, folderError);

        if (folderError)
            throw UsageError { "cannot create " + outFolder + ": " + folderError.message() };

        std::vector<vsthost::EditorScript::Action> actions;
        std::string error;

        if (! vsthost::EditorScript::parse (scriptText, actions, error))
            throw UsageError { "script " + error };

        vsthost::EditorWindow window (640, 480);

        if (! window.isOpen())
        {
            std::cerr << "error: " << window.getError() << "\n";
            return exitFailure;
        }

        auto plugin = openPlugin (path);

        if (plugin == nullptr)
            return exitFailure;

        if (! statePath.empty() && ! plugin->loadChunk (statePath, false, error))
        {
            std::cerr << "error: " << error << "\n";
            return exitFailure;
        }

        plugin->setMainsOn (true);
        int status = 0;

        {
            vsthost::EditorSession session (*plugin, window, outFolder, std::cout);

            if (! session.openEditor (error))
            {
                std::cerr << "error: " << error << "\n";
                return exitFailure;
            }

            for (auto& action : actions)
            {
                if (! session.run (action, error))
                {
                    std::cerr << "error: line " << action.line << ": " << vsthost::EditorScript::getName (action.type)
                              << ": " << error << "\n";
                    status = exitFailure;
                    break;
                }
            }
        }

        plugin->close();
        std::printf ("x-errors:        %d\n", vsthost::EditorWindow::getNumXErrors());
        return status;
    }
} // namespace hostmain_detail

int main (int argc, char** argv)
{
    using namespace hostmain_detail;

    Arguments args;
    args.items.assign (argv + (argc > 0 ? 1 : 0), argv + argc);

    try
    {
        if (args.done())
            throw UsageError { "no command given" };

        const auto command = args.take();

        if (command == "info")          return runInfo (args);
        if (command == "render")        return runRender (args);
        if (command == "demo-signal")   return runDemoSignal (args);
        if (command == "idle")          return runIdle (args);
        if (command == "editor")        return runEditor (args);

        if (command == "--help" || command == "-h" || command == "help")
        {
            printUsage (std::cout);
            return 0;
        }

        throw UsageError { "unknown command '" + command + "'" };
    }
    catch (const UsageError& e)
    {
        std::cerr << "velcroft_host: " << e.message << "\n\n";
        printUsage (std::cerr);
        return exitUsage;
    }
    catch (const std::exception& e)
    {
        std::cerr << "velcroft_host: " << e.what() << "\n";
        return exitFailure;
    }
}
