/*
    The editor's test bench: a real Velcroft in a temporary folder, with its own skin, started
    as the entry routine starts it (initialise, then createGui), with a host side that records
    what it is told. A test may add resources (another skin) before the editor is built.
*/
#pragma once

#include "editor/VelcroftEditor.h"
#include "product/Velcroft.h"
#include "MessageLoop.h"
#include "RecordingHostNotifier.h"
#include "SkinTestSupport.h"
#include "TemporaryFolder.h"

namespace EditorTestSupport
{
/** A started Velcroft with its editor and a recording host. */
class EditorRig
{
public:
    /** Starts the plug-in; extraSetup runs on the resources before the editor is built. */
    template <typename Setup>
    explicit EditorRig (Setup&& extraSetup)
    {
        extraSetup (resources);
        plugin = std::make_unique<Velcroft>();
        plugin->setPluginFile (place.folder.getChildFile ("Velcroft.so"));
        plugin->setHostNotifier (&host);
        plugin->initialise();
        plugin->createGui();
        MessageLoop::runFor (30);       // the first notice of every parameter reaches the controls
    }

    EditorRig() : EditorRig ([] (SkinTestSupport::ScopedResources&) {}) {}

    ~EditorRig()
    {
        plugin.reset();
    }

    /** The editor; the test fails when it is not a VelcroftEditor. */
    VelcroftEditor& editor() const
    {
        auto* e = dynamic_cast<VelcroftEditor*> (plugin->getEditorComponent());
        jassert (e != nullptr);
        return *e;
    }

    /** The editor's control of that name, as the class asked for (null when missing or of another class). */
    template <typename ControlType>
    ControlType* control (const juce::String& name) const
    {
        return dynamic_cast<ControlType*> (BasePluginEditor::findControlByName (&editor(), name));
    }

    /** Delivers what was posted to the message thread. */
    static void settle()                            { MessageLoop::runFor (30); }

    SkinTestSupport::ScopedResources resources;
    const TemporaryFolder place { "VelcroftEditorTests" };
    RecordingHostNotifier host;
    std::unique_ptr<Velcroft> plugin;
};
} // namespace EditorTestSupport
