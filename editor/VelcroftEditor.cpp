#include "editor/VelcroftEditor.h"
#include "dsp/VelcroftCore.h"
#include "gui/controls/GFXAnimation.h"
#include "product/Velcroft.h"

VelcroftEditor::VelcroftEditor (Velcroft& pluginToEdit)
    : QuillonEffectEditor (pluginToEdit), plugin (pluginToEdit)
{
    leftChannelLed = dynamic_cast<GFXAnimation*> (findControlByName (this, "LeftChannelProcessLed"));
    rightChannelLed = dynamic_cast<GFXAnimation*> (findControlByName (this, "RightChannelProcessLed"));
}

VelcroftEditor::~VelcroftEditor() = default;

void VelcroftEditor::refreshDisplay()
{
    QuillonEffectEditor::refreshDisplay();

    bool left = false, right = false;

    if (plugin.isPrepared())
        if (auto* core = dynamic_cast<VelcroftCore*> (plugin.getCore()))
            core->getLeds (left, right);

    // A frame repaints only when it changes.
    if (leftChannelLed != nullptr)
        leftChannelLed->setCurrentFrame (left ? 1 : 0);

    if (rightChannelLed != nullptr)
        rightChannelLed->setCurrentFrame (right ? 1 : 0);
}
