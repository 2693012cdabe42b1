/*
    The preset bank: slot and group queries, selection, storing, copy and paste, moves.
*/
#include "PresetTestPlugin.h"

#include "framework/EventsMap.h"

using PresetTestSupport::PresetPlugin;

TEST (PresetBank, BadIndicesAreRefusedEverywhere)
{
    PresetPlugin plugin;
    plugin.initialise();
    PresetTestSupport::makeBank (plugin, { { "A", 5 }, { "B", 3 } });
    plugin.setCurrentPresetIndex (2, true);

    const auto namesBefore = PresetTestSupport::slotNames (plugin);
    const auto layoutBefore = PresetTestSupport::groupLayout (plugin);

    for (int bad : { -1, -129, 128, 1000, std::numeric_limits<int>::min(), std::numeric_limits<int>::max() })
    {
        SCOPED_TRACE (bad);
        EXPECT_EQ (plugin.getPreset (bad), nullptr);
        EXPECT_EQ (plugin.getPresetName (bad), "");
        plugin.setPresetName (bad, "x");
        plugin.storePreset (bad);
        plugin.setCurrentPresetIndex (bad, true);
        plugin.selectPreset (bad);
        EXPECT_EQ (plugin.getGroupOfPreset (bad), -1);
        EXPECT_EQ (plugin.createPresetXmlAt (bad), nullptr);
        EXPECT_FALSE (plugin.loadPresetFromXmlAt (*plugin.createPresetXmlAt (0), bad));

        EXPECT_EQ (plugin.getGroupName (bad), "");
        plugin.setGroupName (bad, "x");
        EXPECT_EQ (plugin.getNumPresetsInGroup (bad), 0);
        EXPECT_EQ (plugin.getGroupFirstPresetIndex (bad), -1);
        EXPECT_EQ (plugin.getGroupLastPresetIndex (bad), -1);
        EXPECT_EQ (plugin.getPresetIndex (bad, 0), -1);
        EXPECT_EQ (plugin.getPresetIndex (0, bad), -1);
        EXPECT_EQ (plugin.getPresetNameInGroup (0, bad), "");
        EXPECT_EQ (plugin.getPresetNameInGroup (bad, 0), "");

        EXPECT_FALSE (plugin.addGroup (bad));
        EXPECT_FALSE (plugin.removeGroup (bad));
        EXPECT_FALSE (plugin.moveGroup (bad, 0));
        EXPECT_FALSE (plugin.moveGroup (0, bad));
        EXPECT_FALSE (plugin.movePreset (bad, 1, 0, 0));
        EXPECT_FALSE (plugin.movePreset (1, bad, 0, 0));
        EXPECT_FALSE (plugin.movePreset (1, 2, bad, 0));
        EXPECT_FALSE (plugin.movePreset (1, 2, 0, bad));

        juce::SparseSet<int> positions;
        positions.addRange ({ 0, 1 });
        EXPECT_FALSE (plugin.movePresetsToGroup (bad, 0, positions));
        EXPECT_FALSE (plugin.movePresetsToGroup (1, bad, positions));
        juce::SparseSet<int> badPositions;
        badPositions.addRange ({ bad, bad == std::numeric_limits<int>::max() ? bad : bad + 1 });
        EXPECT_FALSE (plugin.movePresetsToGroup (1, 0, badPositions));
    }

    // Positions beyond the group, slots outside their groups, empty selections, same groups.
    juce::SparseSet<int> beyond;
    beyond.addRange ({ 3, 6 });
    EXPECT_FALSE (plugin.movePresetsToGroup (1, 0, beyond));
    EXPECT_FALSE (plugin.movePresetsToGroup (1, 0, juce::SparseSet<int>()));
    juce::SparseSet<int> one;
    one.addRange ({ 0, 1 });
    EXPECT_FALSE (plugin.movePresetsToGroup (0, 0, one));
    EXPECT_FALSE (plugin.movePreset (6, 1, 0, 0));      // slot 6 is not in group 0
    EXPECT_FALSE (plugin.movePreset (1, 6, 0, 0));      // nor is the target
    EXPECT_FALSE (plugin.movePreset (1, 1, 0, 0));      // no move at all
    EXPECT_FALSE (plugin.movePreset (1, 20, 0, 1));     // far beyond group 1
    EXPECT_FALSE (plugin.moveGroup (1, 1));
    EXPECT_FALSE (plugin.removeGroup (0));              // holds presets

    EXPECT_EQ (PresetTestSupport::slotNames (plugin), namesBefore);
    EXPECT_EQ (PresetTestSupport::groupLayout (plugin), layoutBefore);
    EXPECT_EQ (plugin.getCurrentPresetIndex(), 2);

    // The queries on valid input.
    EXPECT_EQ (plugin.getGroupFirstPresetIndex (1), 5);
    EXPECT_EQ (plugin.getGroupLastPresetIndex (1), 7);
    EXPECT_EQ (plugin.getPresetIndex (1, 2), 7);
    EXPECT_EQ (plugin.getPresetIndex (1, 3), -1);
    EXPECT_EQ (plugin.getPresetNameInGroup (1, 0), "p5");
    EXPECT_EQ (plugin.getGroupOfPreset (7), 1);
    EXPECT_EQ (plugin.getGroupOfPreset (8), 2);
    EXPECT_EQ (plugin.getGroupName (2), "Not used");
}

TEST (PresetBank, SelectingAndApplying)
{
    PresetPlugin plugin;
    plugin.initialise();
    PresetTestSupport::makeBank (plugin, { { "A", 128 } });

    PresetTestSupport::ApplyCounter applies;
    plugin.addPresetManagerListener (&applies);
    plugin.addPresetManagerListener (&applies);

    // Next and previous stop at the ends.
    plugin.setCurrentPresetIndex (127, true);
    plugin.handleCommand (PluginCommand::selectNextPreset);
    EXPECT_EQ (plugin.getCurrentPresetIndex(), 127);
    EXPECT_EQ (applies.applied, 0);

    plugin.setCurrentPresetIndex (0, true);
    plugin.handleCommand (PluginCommand::selectPreviousPreset);
    EXPECT_EQ (plugin.getCurrentPresetIndex(), 0);
    EXPECT_EQ (applies.applied, 0);

    plugin.handleCommand (PluginCommand::selectNextPreset);
    EXPECT_EQ (plugin.getCurrentPresetIndex(), 1);
    EXPECT_EQ (applies.applied, 1);     // once, though added twice
    EXPECT_FLOAT_EQ (plugin.values()[VelcroftParameters::preamp], 0.001f);
    EXPECT_EQ (plugin.presetNumberParameter(), 1);
    EXPECT_EQ (plugin.presetNameParameter(), "p1");

    plugin.handleCommand (PluginCommand::selectPreviousPreset);
    EXPECT_EQ (plugin.getCurrentPresetIndex(), 0);
    EXPECT_FLOAT_EQ (plugin.values()[VelcroftParameters::preamp], 0.0f);
    EXPECT_EQ (plugin.presetNameParameter(), "p0");

    // Making a slot current without notification sets the pseudo-parameters quietly and leaves the values.
    PresetTestSupport::ChangeCounter numberChanges;
    plugin.getParameterManager().addListener (ParameterManager::currentPresetNumberIndex, &numberChanges);
    plugin.setCurrentPresetIndex (9, false);
    EXPECT_EQ (numberChanges.count, 0);
    EXPECT_EQ (plugin.presetNumberParameter(), 9);
    EXPECT_EQ (plugin.presetNameParameter(), "p9");
    EXPECT_FLOAT_EQ (plugin.values()[VelcroftParameters::preamp], 0.0f);
    plugin.getParameterManager().removeListener (ParameterManager::currentPresetNumberIndex, &numberChanges);

    // Silent mode without a changer applies at once; with one it only starts the change.
    plugin.setChangingMode (BasePluginOldStyle::changingSilent);
    plugin.selectPreset (20);
    EXPECT_FLOAT_EQ (plugin.values()[VelcroftParameters::preamp], 0.020f);

    PresetTestSupport::FakeChanger changer;
    plugin.setPresetChanger (&changer);
    EXPECT_EQ (changer.getPresetTarget(), &plugin);
    plugin.selectPreset (30);
    EXPECT_EQ (changer.begun, 1);
    EXPECT_EQ (plugin.getCurrentPresetIndex(), 30);
    EXPECT_FLOAT_EQ (plugin.values()[VelcroftParameters::preamp], 0.020f);
    changer.getPresetTarget()->applyCurrentPreset();
    EXPECT_FLOAT_EQ (plugin.values()[VelcroftParameters::preamp], 0.030f);
    EXPECT_EQ (plugin.presetNameParameter(), "p30");

    plugin.setChangingMode (BasePluginOldStyle::changingNormal);
    plugin.selectPreset (31);
    EXPECT_EQ (changer.begun, 1);
    EXPECT_FLOAT_EQ (plugin.values()[VelcroftParameters::preamp], 0.031f);

    plugin.setPresetChanger (nullptr);
    plugin.removePresetManagerListener (&applies);
}

TEST (PresetBank, StoringOnDemandAndAutomatic)
{
    PresetPlugin plugin;
    plugin.initialise();
    PresetTestSupport::makeBank (plugin, { { "A", 10 } });
    plugin.selectPreset (4);
    auto& slot = *plugin.getPreset (4);

    // On demand: edits stay out of the slot until the store command.
    EXPECT_EQ (plugin.getStoringMode(), BasePluginOldStyle::storingOnDemand);
    const auto stored = slot.getValue (VelcroftParameters::leftCutoff);
    plugin.set (VelcroftParameters::leftCutoff, stored == 0.25f ? 0.5f : 0.25f);
    EXPECT_EQ (slot.getValue (VelcroftParameters::leftCutoff), stored);
    plugin.handleCommand (PluginCommand::storeCurrentPreset);
    EXPECT_EQ (PresetTestSupport::valuesOf (slot), plugin.values());

    // Switching to automatic stores the present values at once.
    plugin.set (VelcroftParameters::leftReso, 0.75f);
    plugin.setStoringMode (BasePluginOldStyle::storingAutomatic);
    EXPECT_FLOAT_EQ (slot.getValue (VelcroftParameters::leftReso), 0.75f);

    // Automatic: edits from the host, from MIDI and from a paste all reach the slot.
    plugin.setHostParameter (VelcroftParameters::leftLinkFreq, 0.5f);
    EXPECT_FLOAT_EQ (slot.getValue (VelcroftParameters::leftLinkFreq), 0.5f);

    auto* cutoff = plugin.getParameterManager().getParameter (VelcroftParameters::rightCutoff);
    plugin.getMidiControl().assignController (7, cutoff, false);
    plugin.getMidiControl().handleMidiMessage (juce::MidiMessage::controllerEvent (1, 7, 64));
    EXPECT_FLOAT_EQ (slot.getValue (VelcroftParameters::rightCutoff), 64.0f / 127.0f);

    plugin.set (VelcroftParameters::fx, 0.125f);
    plugin.copyCurrentPreset();
    plugin.selectPreset (5);
    plugin.setStoringMode (BasePluginOldStyle::storingOnDemand);
    plugin.set (VelcroftParameters::fx, 0.9f);
    plugin.setStoringMode (BasePluginOldStyle::storingAutomatic);
    plugin.pasteCopiedPreset();
    EXPECT_FLOAT_EQ (plugin.getPreset (5)->getValue (VelcroftParameters::fx), 0.125f);

    // Parameters outside presets and unknown modes change nothing.
    plugin.setStoringMode (7);
    plugin.setChangingMode (-1);
    plugin.setPresetsMode (3);
    EXPECT_EQ (plugin.getStoringMode(), BasePluginOldStyle::storingAutomatic);
    EXPECT_EQ (plugin.getChangingMode(), BasePluginOldStyle::changingNormal);
    EXPECT_EQ (plugin.getPresetsMode(), BasePluginOldStyle::factoryPresets);
}

TEST (PresetBank, CopyPasteAndNames)
{
    PresetPlugin plugin;
    plugin.initialise();
    PresetTestSupport::makeBank (plugin, { { "A", 10 } });

    // An empty copy buffer pastes nothing.
    plugin.selectPreset (2);
    plugin.set (VelcroftParameters::preamp, 0.6f);
    plugin.handleCommand (PluginCommand::pasteCopiedPreset);
    EXPECT_EQ (plugin.getPresetName (2), "p2");
    EXPECT_FLOAT_EQ (plugin.values()[VelcroftParameters::preamp], 0.6f);

    plugin.setPresetName (2, "Liquid");
    EXPECT_EQ (plugin.presetNameParameter(), "Liquid");
    plugin.handleCommand (PluginCommand::copyCurrentPreset);
    EXPECT_TRUE (plugin.isCopyBufferFull());
    EXPECT_EQ (plugin.getCopyBuffer().getName(), "Liquid_copy");
    EXPECT_FLOAT_EQ (plugin.getCopyBuffer().getValue (VelcroftParameters::preamp), 0.6f);

    plugin.selectPreset (7);
    EXPECT_FLOAT_EQ (plugin.values()[VelcroftParameters::preamp], 0.007f);
    plugin.handleCommand (PluginCommand::pasteCopiedPreset);
    EXPECT_EQ (plugin.getPresetName (7), "Liquid_copy");
    EXPECT_EQ (plugin.presetNameParameter(), "Liquid_copy");
    EXPECT_FLOAT_EQ (plugin.getPreset (7)->getValue (VelcroftParameters::preamp), 0.6f);
    EXPECT_FLOAT_EQ (plugin.values()[VelcroftParameters::preamp], 0.6f);
    EXPECT_EQ (plugin.getPresetName (2), "Liquid");

    // Renaming through the pseudo-parameter renames the current slot only.
    plugin.getParameterManager().setCurrentPresetName ("Renamed");
    EXPECT_EQ (plugin.getPresetName (7), "Renamed");
    plugin.setPresetName (3, "Other");
    EXPECT_EQ (plugin.presetNameParameter(), "Renamed");

    // A cleared bank: "Preset " + index, the empty preset's values, one group "Not used".
    plugin.getDefaultPreset().setValue (VelcroftParameters::outputVolume, 0.5f);
    plugin.resetPresetBank();
    EXPECT_EQ (plugin.getPresetName (0), "Preset 0");
    EXPECT_EQ (plugin.getPresetName (5), "Preset 5");
    EXPECT_EQ (plugin.getPresetName (127), "Preset 127");
    EXPECT_EQ (PresetTestSupport::groupLayout (plugin), juce::StringArray ("Not used:128"));
    EXPECT_EQ (PresetTestSupport::valuesOf (*plugin.getPreset (77)), PresetTestSupport::valuesOf (plugin.getDefaultPreset()));

    // Preset values hold 0..1 only.
    auto& preset = *plugin.getPreset (0);
    preset.setValue (VelcroftParameters::preamp, 1.5f);
    preset.setValue (VelcroftParameters::leftBits, -1.0f);
    preset.setValue (VelcroftParameters::leftFrequency, 0.3f);
    preset.setValue (VelcroftParameters::leftFrequency, std::numeric_limits<float>::quiet_NaN());
    preset.setValue (18, 0.5f);
    preset.setValue (-1, 0.5f);
    EXPECT_EQ (preset.getValue (VelcroftParameters::preamp), 1.0f);
    EXPECT_EQ (preset.getValue (VelcroftParameters::leftBits), 0.0f);
    EXPECT_FLOAT_EQ (preset.getValue (VelcroftParameters::leftFrequency), 0.3f);
    EXPECT_EQ (preset.getValue (18), 0.0f);
}

TEST (PresetBank, GroupOperationsKeepTheCurrentPreset)
{
    PresetPlugin plugin;
    plugin.initialise();

    const auto check = [&plugin] (const juce::String& expectedCurrentName)
    {
        const auto index = plugin.getCurrentPresetIndex();
        EXPECT_EQ (plugin.getPresetName (index), expectedCurrentName);
        EXPECT_EQ (plugin.presetNumberParameter(), index);
        EXPECT_EQ (plugin.presetNameParameter(), expectedCurrentName);
        int total = 0;
        for (int g = 0; g < plugin.getNumGroups(); ++g)
            total += plugin.getNumPresetsInGroup (g);
        EXPECT_EQ (total, 128);
    };

    PresetTestSupport::makeBank (plugin, { { "A", 4 }, { "B", 3 }, { "C", 2 } });   // A 0..3, B 4..6, C 7..8
    plugin.selectPreset (2);
    PresetTestSupport::ChangeCounter numberChanges;
    plugin.getParameterManager().addListener (ParameterManager::currentPresetNumberIndex, &numberChanges);

    // Groups: added before an existing one only, removed only when empty.
    EXPECT_FALSE (plugin.addGroup (4));
    EXPECT_TRUE (plugin.addGroup (1));
    EXPECT_EQ (PresetTestSupport::groupLayout (plugin), juce::StringArray ({ "A:4", "New Group:0", "B:3", "C:2", "Not used:119" }));
    EXPECT_TRUE (plugin.removeGroup (1));
    EXPECT_EQ (plugin.getNumGroups(), 4);

    // One preset within a group, and into a group behind and before it.
    EXPECT_TRUE (plugin.movePreset (2, 0, 0, 0));
    EXPECT_EQ (PresetTestSupport::slotNames (plugin).joinIntoString (",", 0, 9), "p2,p0,p1,p3,p4,p5,p6,p7,p8");
    check ("p2");

    EXPECT_TRUE (plugin.movePreset (0, 6, 0, 1));   // p2 to the end of B
    EXPECT_EQ (PresetTestSupport::slotNames (plugin).joinIntoString (",", 0, 9), "p0,p1,p3,p4,p5,p6,p2,p7,p8");
    EXPECT_EQ (PresetTestSupport::groupLayout (plugin), juce::StringArray ({ "A:3", "B:4", "C:2", "Not used:119" }));
    EXPECT_EQ (plugin.getCurrentPresetIndex(), 6);
    check ("p2");

    EXPECT_TRUE (plugin.movePreset (6, 6, 1, 2));   // the last of B to the front of C: only the counts change
    EXPECT_EQ (PresetTestSupport::groupLayout (plugin), juce::StringArray ({ "A:3", "B:3", "C:3", "Not used:119" }));
    EXPECT_EQ (plugin.getCurrentPresetIndex(), 6);
    EXPECT_TRUE (plugin.movePreset (6, 6, 2, 1));   // and back
    EXPECT_EQ (PresetTestSupport::groupLayout (plugin), juce::StringArray ({ "A:3", "B:4", "C:2", "Not used:119" }));
    check ("p2");

    EXPECT_TRUE (plugin.movePreset (6, 1, 1, 0));   // p2 back into A at position 1
    EXPECT_EQ (PresetTestSupport::slotNames (plugin).joinIntoString (",", 0, 9), "p0,p2,p1,p3,p4,p5,p6,p7,p8");
    EXPECT_EQ (PresetTestSupport::groupLayout (plugin), juce::StringArray ({ "A:4", "B:3", "C:2", "Not used:119" }));
    check ("p2");

    // Several presets, in their order, to the end of a later and of an earlier group.
    juce::SparseSet<int> positions;
    positions.addRange ({ 0, 2 });
    positions.addRange ({ 3, 4 });
    EXPECT_TRUE (plugin.movePresetsToGroup (2, 0, positions));   // p0, p2, p3 to the end of C
    EXPECT_EQ (PresetTestSupport::slotNames (plugin).joinIntoString (",", 0, 9), "p1,p4,p5,p6,p7,p8,p0,p2,p3");
    EXPECT_EQ (PresetTestSupport::groupLayout (plugin), juce::StringArray ({ "A:1", "B:3", "C:5", "Not used:119" }));
    check ("p2");

    juce::SparseSet<int> fromC;
    fromC.addRange ({ 1, 3 });
    EXPECT_TRUE (plugin.movePresetsToGroup (0, 2, fromC));       // p8, p0 to the end of A
    EXPECT_EQ (PresetTestSupport::slotNames (plugin).joinIntoString (",", 0, 9), "p1,p8,p0,p4,p5,p6,p7,p2,p3");
    EXPECT_EQ (PresetTestSupport::groupLayout (plugin), juce::StringArray ({ "A:3", "B:3", "C:3", "Not used:119" }));
    check ("p2");

    // Whole groups, forwards and backwards.
    EXPECT_TRUE (plugin.moveGroup (0, 2));
    EXPECT_EQ (PresetTestSupport::slotNames (plugin).joinIntoString (",", 0, 9), "p4,p5,p6,p7,p2,p3,p1,p8,p0");
    EXPECT_EQ (PresetTestSupport::groupLayout (plugin), juce::StringArray ({ "B:3", "C:3", "A:3", "Not used:119" }));
    check ("p2");

    EXPECT_TRUE (plugin.moveGroup (3, 0));
    EXPECT_EQ (PresetTestSupport::groupLayout (plugin), juce::StringArray ({ "Not used:119", "B:3", "C:3", "A:3" }));
    EXPECT_EQ (plugin.getPresetName (119), "p4");
    check ("p2");

    EXPECT_EQ (numberChanges.count, 0);     // the pseudo-parameters followed quietly
    plugin.getParameterManager().removeListener (ParameterManager::currentPresetNumberIndex, &numberChanges);
}
