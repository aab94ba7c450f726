// ChoosePlayer.h: the dialog in which the player picks, creates or deletes
// a player profile. It lists up to five profiles from the settings store,
// highlights the chosen one and reports the choice as the command
// "profile:<name>"; it holds the new-profile prompt "inputPrompt" and the
// confirmation dialog "genericDialog".
#pragma once

#include "core/lang/String.h"
#include "core/util/Vector.h"
#include "sprites/dialogs/DialogSprite.h"

namespace sprite {
class NewFontSprite;
class User;
} // namespace sprite

class GenericDialog;
class ProfileInputPrompt;

class ChoosePlayer : public sprite::DialogSprite {
public:
    // Rows of the list, and so the most profiles that are created.
    static constexpr int ROW_COUNT = 5;
    // The definition's numbers: row x, first row's y, row spacing, the
    // normal and the highlight row colours (red, green, blue each).
    static constexpr int DEFINITION_NUMBERS = 9;

    ChoosePlayer();
    // Releases both stores and the rows.
    ~ChoosePlayer() override;

    HV_CLASS_NAME("ChoosePlayer", sprite::DialogSprite)
    HV_DECLARE_METACLASS(ChoosePlayer);

    // The dialog's set-up, then the five rows cloned from "protoName".
    void setDefinition(sprite::SpriteDefinition* definition) override;
    // Showing with no profile chosen opens the prompt alone (it cannot be
    // cancelled); with one, the list and its buttons.
    void setVisible(bool visible) override;
    // The dialog's commands (compared without regard to case): 1 with a
    // command for the canvas in `result`, 3 when handled here, 0 when not.
    int translateCommand(lang::String* command, lang::String* result, int clickCount) override;
    // Keys go to the confirmation when it shows, else to the prompt when it
    // shows; their command becomes this dialog's.
    int keyDown(int key) override;

    // The main settings store and the current profile's (references held).
    void setStores(sprite::User* mainStore, sprite::User* profileStore);
    // Chooses the profile of that display name ("" for none) and lists the
    // profiles again.
    void setSelectedProfile(const lang::String& name);
    // Lists the profiles again and sets the rows and buttons to match.
    void refresh();
    // Marks row n chosen (nothing for a row past the list); below 0, none.
    void selectRow(int n);
    // Shows or hides the list's background and buttons.
    void showControls(bool show);
    bool isInputPromptVisible();

    sprite::User* getMainStore() const { return m_pMainStore; }
    sprite::User* getProfileStore() const { return m_pProfileStore; }
    const lang::String& getSelectedName() const { return m_selectedName; }
    const lang::String& getSelectedKey() const { return m_selectedKey; }
    // The number of profiles listed (every sub-key of the settings root).
    int getProfileCount() { return m_names.size(); }
    // The display name of profile i in list order.
    lang::String getProfileName(int i);
    // Row text i, or null.
    sprite::NewFontSprite* getRow(int i) const { return i >= 0 && i < ROW_COUNT ? m_rows[i] : nullptr; }
    ProfileInputPrompt* getInputPrompt();
    GenericDialog* getGenericDialog();

private:
    // The profiles' display names from the settings store, sorted by their
    // sub-key names without regard to case.
    void loadProfileList();
    // Whether the root's sub-key `key` holds a saved game of a profile.
    bool holdsSavedGame(const lang::String& key);
    // Rows shown: the profiles up to the number of rows.
    int shownRows() { return m_names.size() < ROW_COUNT ? m_names.size() : ROW_COUNT; }
    void setSelectedName(const lang::String& name);
    // The row text in the normal or the highlight colour.
    void colourRow(int i, bool highlight);
    // Deletes the chosen profile's sub-key with everything in it.
    void deleteSelectedProfile();
    // Makes the profile typed into the prompt: 1 with "profile:<name>" in
    // `result`, 3 when nothing is made.
    int createProfile(lang::String* result);
    void releaseRows();

    sprite::User* m_pMainStore;
    sprite::User* m_pProfileStore;
    lang::String m_selectedName;
    lang::String m_selectedKey;
    int m_nRowX;
    int m_nRowY;
    int m_nRowSpacing;
    sprite::NewFontSprite* m_rows[ROW_COUNT];
    util::Vector m_names;

    // The row colours (red, green, blue) of every instance, from the last
    // definition applied.
    static int s_normalColour[3];
    static int s_highlightColour[3];
};
