#include "gui/widgets/DefaultLookAndFeel.h"
#include "gui/widgets/LabelWithModalTextEditor.h"
#include "unit/MessageLoop.h"

#include <gtest/gtest.h>

#include <memory>

namespace ModalTextEditorTestsDetail
{
/** Records what an editor tells, in order; may delete an object when a text is committed. */
struct EditLog : public ModalTextEditor::ModalListener
{
    void modalTextChanged (ModalTextEditor*) override        { events.add ("changed"); }
    void modalEditCancelled (ModalTextEditor*) override      { events.add ("cancelled"); }
    void modalEditEnded (ModalTextEditor*) override          { events.add ("ended"); }

    void modalTextCommitted (ModalTextEditor* editor) override
    {
        events.add ("committed:" + editor->getText());

        if (deleteOnCommit != nullptr)
            deleteOnCommit();
    }

    juce::StringArray events;
    std::function<void()> deleteOnCommit;
};

/** A label inside a window on the desktop, as a row of the browser is. */
struct LabelBench
{
    LabelBench()
    {
        window.setLookAndFeel (&lookAndFeel);
        window.setBounds (100, 100, 300, 60);
        label->setBounds (10, 20, 200, 20);
        label->setText ("Old name");
        label->addModalListener (&log);
        window.addAndMakeVisible (*label);
        window.addToDesktop (0);
        window.setVisible (true);
    }

    ~LabelBench()
    {
        label.reset();
        window.setLookAndFeel (nullptr);
    }

    /** Opens the editor; when the display grants no real focus, the focus is given as it would be. */
    ModalTextEditor& open()
    {
        label->showEditor();
        MessageLoop::runFor (20);
        auto* editor = label->getEditor();

        if (! editor->isEditing())
            editor->focusGained (juce::Component::focusChangedDirectly);

        return *editor;
    }

    static void press (ModalTextEditor& editor, int key)
    {
        editor.keyPressed (juce::KeyPress (key));
        MessageLoop::runFor (20);
    }

    DefaultLookAndFeel lookAndFeel;
    juce::Component window;
    std::unique_ptr<LabelWithModalTextEditor> label = std::make_unique<LabelWithModalTextEditor>();
    EditLog log;
};
} // namespace ModalTextEditorTestsDetail

using namespace ModalTextEditorTestsDetail;

TEST (ModalTextEditor, LiftsOntoTheDesktopWithTheLabelsLookAndComesBackAfterTheFocusChange)
{
    LabelBench bench;
    auto& editor = bench.open();
    const auto screenBounds = bench.label->getScreenBounds();

    // Lifted at the same place, and still lifted once the focus changes of the lift have run.
    MessageLoop::runFor (20);
    ASSERT_TRUE (editor.isOnDesktop());
    EXPECT_EQ (editor.getParentComponent(), nullptr);
    EXPECT_EQ (editor.getScreenBounds(), screenBounds);
    EXPECT_EQ (&editor.getLookAndFeel(), &bench.lookAndFeel);
    EXPECT_EQ (editor.getText(), "Old name");
    EXPECT_EQ (editor.getHighlightedRegion().getLength(), 8);

    // The focus change is delivered by the editor's own window: it goes back only afterwards.
    editor.focusLost (juce::Component::focusChangedDirectly);
    EXPECT_TRUE (editor.isOnDesktop());
    MessageLoop::runFor (20);

    EXPECT_FALSE (editor.isOnDesktop());
    EXPECT_EQ (editor.getParentComponent(), bench.label.get());
    EXPECT_EQ (editor.getBounds(), bench.label->getLocalBounds());
    EXPECT_FALSE (editor.isVisible());
    EXPECT_TRUE (editor.getHighlightedRegion().isEmpty());
    EXPECT_EQ (bench.log.events, juce::StringArray ({ "ended" }));     // unchanged: nothing committed
}

TEST (ModalTextEditor, ReturnCommitsATypedNameAndEscapeRestoresTheOldOne)
{
    LabelBench bench;
    auto* first = &bench.open();
    first->insertTextAtCaret ("Bright");
    MessageLoop::runFor (20);
    EXPECT_EQ (bench.label->getText(), "Bright");               // the label follows the keystrokes
    LabelBench::press (*first, juce::KeyPress::returnKey);
    MessageLoop::runFor (20);

    EXPECT_EQ (bench.log.events, juce::StringArray ({ "changed", "committed:Bright", "ended" }));
    EXPECT_EQ (first->getSavedText(), "Bright");

    // The next edit reuses the editor and starts from the label's text; Escape undoes the typing.
    bench.log.events.clear();
    bench.label->setText ("Renamed elsewhere");
    auto& second = bench.open();
    EXPECT_EQ (&second, first);
    EXPECT_EQ (second.getText(), "Renamed elsewhere");
    second.insertTextAtCaret ("Dark");
    MessageLoop::runFor (20);
    LabelBench::press (second, juce::KeyPress::escapeKey);
    MessageLoop::runFor (20);

    EXPECT_EQ (bench.log.events, juce::StringArray ({ "changed", "ended", "cancelled" }));
    EXPECT_EQ (bench.label->getText(), "Renamed elsewhere");
    EXPECT_EQ (second.getText(), "Renamed elsewhere");
    EXPECT_FALSE (second.isOnDesktop());

    // A click elsewhere (the focus lost) commits as Return does.
    bench.log.events.clear();
    auto& third = bench.open();
    third.insertTextAtCaret ("Third");
    MessageLoop::runFor (20);
    third.focusLost (juce::Component::focusChangedByMouseClick);
    MessageLoop::runFor (20);
    EXPECT_EQ (bench.log.events, juce::StringArray ({ "changed", "committed:Third", "ended" }));
}

TEST (ModalTextEditor, AListenerThatDeletesTheLabelOnCommitEndsTheNotification)
{
    LabelBench bench;
    EditLog later;          // added before the deleting one, so told after it

    bench.label = std::make_unique<LabelWithModalTextEditor>();
    bench.label->setBounds (10, 20, 200, 20);
    bench.window.addAndMakeVisible (*bench.label);
    bench.label->addModalListener (&later);
    bench.label->addModalListener (&bench.log);
    bench.log.deleteOnCommit = [&bench] { bench.label.reset(); };

    auto& editor = bench.open();
    editor.insertTextAtCaret ("Gone");
    MessageLoop::runFor (20);
    LabelBench::press (editor, juce::KeyPress::returnKey);
    MessageLoop::runFor (20);

    EXPECT_EQ (bench.label, nullptr);
    EXPECT_EQ (later.events, juce::StringArray ({ "changed" }));
}
