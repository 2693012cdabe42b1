/*
    `velcroft_host editor` against the built plug-in on a private X server: the editor in the
    host's window at the size the plug-in gives, screenshots of it, the same picture after a
    close and open, host notices; and the scripts the command takes.
*/
#include "VelcroftTestSupport.h"
#include "tools/host/EditorScript.h"
#include "tools/host/EditorWindow.h"
#include "tools/host/RgbImage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <regex>
#include <sys/wait.h>

using vsthost::EditorScript;
using vsthost::RgbImage;

namespace EditorHostTestsDetail
{
/** Runs velcroft_host with the arguments (under a private X server of its own when asked);
    returns its exit status and what it printed. */
int runHost (const std::string& arguments, std::string& output, bool privateDisplay = false)
{
    // Tests running beside this one put windows on the shared server, and a screenshot read
    // from the screen would show any that covers the editor.
    const auto prefix = privateDisplay ? std::string ("xvfb-run -a -s '-screen 0 1280x1024x24' ") : std::string();
    const auto command = prefix + "'" + VELCROFT_HOST_PATH + "' " + arguments + " 2>&1";
    output.clear();

    if (auto* pipe = popen (command.c_str(), "r"))
    {
        char buffer[4096];

        while (auto n = fread (buffer, 1, sizeof (buffer), pipe))
            output.append (buffer, n);

        const auto status = pclose (pipe);
        return WIFEXITED (status) ? WEXITSTATUS (status) : -1;
    }

    return -1;
}

/** The numbers of the first line of output that matches pattern (its groups), or none. */
std::vector<std::string> findLine (const std::string& output, const std::string& pattern)
{
    std::smatch match;

    if (! std::regex_search (output, match, std::regex (pattern)))
        return {};

    return std::vector<std::string> (match.begin() + 1, match.end());
}

/** Every match of pattern in output, in order. */
std::vector<std::string> findAll (const std::string& output, const std::string& pattern)
{
    std::vector<std::string> matches;
    const std::regex expression (pattern);

    for (std::sregex_iterator i (output.begin(), output.end(), expression), end; i != end; ++i)
        matches.push_back (i->str());

    return matches;
}

bool canStartPrivateDisplay()
{
    return std::system ("command -v xvfb-run >/dev/null 2>&1") == 0;
}

/** How many pixels of a picture have the colour. */
int countPixels (const RgbImage& image, std::uint32_t rgb)
{
    int count = 0;

    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            count += image.getPixel (x, y) == rgb ? 1 : 0;

    return count;
}
} // namespace EditorHostTestsDetail

using namespace EditorHostTestsDetail;

TEST (EditorHost, ShowsTheEditorThatFollowsItsDockedPanelAndShowsTheSamePictureAfterReopening)
{
    if (! canStartPrivateDisplay())
        GTEST_SKIP() << "no xvfb-run to start an X server with";

    velcroft_vst_test::PluginFolder folder;

    // The size the plug-in gives a host.
    int width = 0, height = 0;

    {
        auto library = folder.load();
        ASSERT_NE (library, nullptr);
        auto plugin = velcroft_vst_test::openInstance (library);
        ASSERT_NE (plugin, nullptr);
        vst::ERect* rect = nullptr;
        ASSERT_EQ (plugin->dispatch (vst::effEditGetRect, 0, 0, &rect), 1);
        width = rect->right - rect->left;
        height = rect->bottom - rect->top;
    }

    const auto out = folder.getFolder().string();
    std::string output;
    ASSERT_EQ (runHost ("editor '" + folder.getPluginPath() + "' --out '" + out
                        + "' --actions 'screenshot first; click 97 35; await-size 633 479; screenshot docked; click 97 35; "
                          "await-size 633 223; set 0 0.9; audio 200; wait 300; reopen; screenshot second; "
                          "click 200 34; type Tape; screenshot typing; key Escape'", output, true), 0)
        << output;

    EXPECT_EQ (width, 633);
    EXPECT_EQ (height, 223);

    EXPECT_EQ (findLine (output, "editor: +(\\d+) x (\\d+)"), (std::vector<std::string> { std::to_string (width), std::to_string (height) }))
        << output;
    EXPECT_FALSE (findLine (output, "first-paint-ms: +([0-9.]+)").empty()) << "the editor never painted\n" << output;
    EXPECT_EQ (findLine (output, "same picture as before the close: (\\w+)"), std::vector<std::string> { "yes" }) << output;
    EXPECT_EQ (findLine (output, "x-errors: +(\\d+)"), std::vector<std::string> { "0" }) << output;

    // Options docks its panel and undocks it: the host is asked twice, on its own GUI thread
    // (inside its editor calls), and no other time.
    EXPECT_EQ (findAll (output, "size-window [^\n]*"), (std::vector<std::string> { "size-window 633 x 479 (host GUI thread)",
                                                     "size-window 633 x 223 (host GUI thread)" })) << output;

    for (auto [name, expectedHeight] : { std::pair { "first", height }, { "docked", 479 }, { "second", height } })
    {
        RgbImage picture;
        std::string error;
        ASSERT_TRUE (RgbImage::readPng (out + "/" + name + ".png", picture, error)) << error;
        EXPECT_EQ (picture.width, width) << name;
        EXPECT_EQ (picture.height, expectedHeight) << name;

        // The plug-in's window covers the host's: none of the host's background shows.
        EXPECT_EQ (countPixels (picture, vsthost::EditorWindow::backgroundColour), 0) << name;
    }

    // While the preset name is edited its field is a window of its own over the editor: the
    // screenshot shows it as the screen does, its glyphs and background, not a black hole.
    RgbImage typing;
    std::string error;
    ASSERT_TRUE (RgbImage::readPng (out + "/typing.png", typing, error)) << error;
    int black = 0, lit = 0;

    for (int y = 28; y <= 41; ++y)
    {
        for (int x = 130; x <= 283; ++x)
        {
            const auto rgb = typing.getPixel (x, y);
            black += rgb == 0 ? 1 : 0;
            lit += (rgb & 0xff) > 0x80 ? 1 : 0;     // the display's light glyphs
        }
    }

    EXPECT_LT (black, 154 * 14 / 2) << "the name field being edited shows black";
    EXPECT_GT (lit, 20) << "no glyphs in the name field being edited";
}

TEST (EditorHost, AButtonHeldWhileTheEditorClosesIsLetGo)
{
    if (! canStartPrivateDisplay())
        GTEST_SKIP() << "no xvfb-run to start an X server with";

    // Options repeats while held. Held as the editor closes, and let go while no editor is
    // there to see it, it must not go on docking and undocking the panel in the next editor.
    velcroft_vst_test::PluginFolder folder;
    const auto out = folder.getFolder().string();
    std::string output;
    ASSERT_EQ (runHost ("editor '" + folder.getPluginPath() + "' --out '" + out
                        + "' --actions 'press 97 35; await-change; wait 300; close; release 97 35; open; wait 1600; "
                          "screenshot after; click 97 35; await-size 633 479; screenshot clicked'", output, true), 0)
        << output;

    // Closing clicked nothing, the next editor repeats nothing, and a click docks the panel:
    // the host is asked once.
    const auto beforeClick = output.substr (0, output.find ("screenshot: " + out + "/after.png"));
    EXPECT_EQ (beforeClick.find ("size-window"), std::string::npos) << "the panel docked or undocked by itself\n" << output;
    EXPECT_EQ (findAll (output, "size-window [^\n]*"), std::vector<std::string> { "size-window 633 x 479 (host GUI thread)" }) << output;

    for (auto [name, expectedHeight] : { std::pair { "after", 223 }, { "clicked", 479 } })
    {
        RgbImage picture;
        std::string error;
        ASSERT_TRUE (RgbImage::readPng (out + "/" + name + ".png", picture, error)) << error;
        EXPECT_EQ (picture.height, expectedHeight) << name;
    }
}

TEST (EditorHost, TakesScriptsAndRefusesWhatItDoesNotKnow)
{
    std::vector<EditorScript::Action> actions;
    std::string error;

    ASSERT_TRUE (EditorScript::parse ("click 97 35  # Options\n"
                                      "ctrl-click 97 35; drag 38 32 38 2\n"
                                      "key ctrl+a; type My Preset 2; set 3 0.25; program 127; type \" Mk2\"\n"
                                      "audio 500 demo; wait 0; screenshot docked; reopen; cpu 2000 audio; cc 20 64\n"
                                      "press 5 6; close; release 5 6; open; await-change; await-size 633 479\n", actions, error)) << error;

    using Type = EditorScript::Action::Type;
    std::vector<Type> types;

    for (auto& a : actions)
        types.push_back (a.type);

    EXPECT_EQ (types, (std::vector<Type> { Type::click, Type::ctrlClick, Type::drag, Type::key, Type::type, Type::set,
                                           Type::program, Type::type, Type::audio, Type::wait, Type::screenshot, Type::reopen,
                                           Type::cpu, Type::controller, Type::press, Type::close, Type::release, Type::open,
                                           Type::awaitChange, Type::awaitSize }));
    EXPECT_EQ (actions[4].text, "My Preset 2") << "typed text keeps its spaces and digits";
    EXPECT_EQ (actions[5].numbers, (std::vector<double> { 3, 0.25 }));
    EXPECT_EQ (actions[7].text, " Mk2") << "quoted text keeps its outer spaces";
    EXPECT_EQ (actions[8].text, "demo");
    EXPECT_EQ (actions[10].line, 4);

    for (auto* bad : { "klick 1 2", "click 1", "click 1 2 3", "click -1 5", "drag 1 2 3", "program 128", "program 1.5",
                       "cc 20", "cc 128 0", "cc 1 0.5",
                       "set 3", "set 3 1.5", "set -1 0.5", "audio", "audio 100 noise", "wait", "wait -5",
                       "screenshot", "screenshot ../escape", "key", "type", "cpu 10", "cpu 1000 video", "reopen now",
                       "press 1", "release -1 2", "close 1",
                       "await-size 633", "await-size 0 223", "await-size 633.5 223", "await-change 1" })
    {
        actions.clear();
        EXPECT_FALSE (EditorScript::parse (std::string ("wait 10\n") + bad, actions, error)) << bad;
        EXPECT_NE (error.find ("line 2"), std::string::npos) << bad << ": " << error;
    }

    std::string output;
    EXPECT_EQ (runHost ("editor", output), 2);
    EXPECT_EQ (runHost ("editor p.so", output), 2) << "no --out";
    EXPECT_EQ (runHost ("editor p.so --out /tmp --actions 'click 1'", output), 2);
    EXPECT_EQ (runHost ("editor p.so --out /tmp --script /no/such/script", output), 2);
}
