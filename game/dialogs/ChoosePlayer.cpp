// ChoosePlayer.cpp: the player selection dialog: the profile list read from
// the settings store, the chosen row, and the commands that accept, create
// and delete profiles.
#include "game/dialogs/ChoosePlayer.h"

#include "core/lang/ByteArray.h"
#include "core/lang/StringArray.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "game/dialogs/GenericDialog.h"
#include "game/dialogs/ProfileInputPrompt.h"
#include "game/progress/PlayerProfile.h"
#include "platform/registry/Registry.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/containers/SpriteDefinition.h"
#include "sprites/settings/User.h"
#include "sprites/text/NewFontSprite.h"
#include "windowing/window/DebugLine.h"

#include <cstdlib>

HV_DEFINE_METACLASS(ChoosePlayer);

int ChoosePlayer::s_normalColour[3] = {128, 128, 128};
int ChoosePlayer::s_highlightColour[3] = {128, 128, 128};

namespace {

using sprite::ButtonMixin;

// Row colours are applied at this (neutral) alpha.
constexpr int kRowAlpha = 128;
// The command prefix of the rows' highlight buttons, and of a chosen profile.
constexpr char kHilite[] = "Hilite";
constexpr int kHiliteLength = 6;
constexpr char kProfilePrefix[] = "profile:";

void hold(sprite::User*& field, sprite::User* store)
{
    if (store)
        store->addRef();
    if (field)
        field->release();
    field = store;
}

// Number i of the definition, 0 when the list is shorter.
int definitionNumber(lang::IntArray* numbers, int i)
{
    return numbers && i < numbers->length() ? (*numbers)[i] : 0;
}

ButtonMixin* buttonOf(sprite::DialogSprite* dialog, const char* name)
{
    return ButtonMixin::fromSprite(dialog->getSprite(name));
}

lang::String hiliteName(int i)
{
    lang::String name(kHilite);
    name.append(i);
    return name;
}

void setState(ButtonMixin* button, int state)
{
    if (button)
        button->setState(state);
}

// Enabling puts a button in state 1 unless it is selected (3 or 4);
// disabling puts it in state 0.
void setEnabled(ButtonMixin* button, bool enabled)
{
    if (button)
        button->setEnabled(enabled);
}

void showSprite(sprite::DialogSprite* dialog, const char* name, bool show)
{
    if (sprite::SpriteBase* sprite = dialog->getSprite(name))
        sprite->setVisible(show);
}

bool startsWithIgnoreCase(const lang::String& text, const char* prefix, int prefixLength)
{
    return text.length() >= prefixLength && text.substring(0, prefixLength).equalsIgnoreCase(prefix);
}

} // namespace

ChoosePlayer::ChoosePlayer()
    : sprite::DialogSprite(false),
      m_pMainStore(nullptr),
      m_pProfileStore(nullptr),
      m_selectedName(""),
      m_selectedKey(""),
      m_nRowX(0),
      m_nRowY(0),
      m_nRowSpacing(0),
      m_rows{},
      m_names(10)
{
}

ChoosePlayer::~ChoosePlayer()
{
    hold(m_pMainStore, nullptr);
    hold(m_pProfileStore, nullptr);
    releaseRows();
}

void ChoosePlayer::releaseRows()
{
    for (sprite::NewFontSprite*& row : m_rows) {
        if (row)
            row->release();
        row = nullptr;
    }
}

void ChoosePlayer::setStores(sprite::User* mainStore, sprite::User* profileStore)
{
    hold(m_pMainStore, mainStore);
    hold(m_pProfileStore, profileStore);
}

ProfileInputPrompt* ChoosePlayer::getInputPrompt()
{
    sprite::SpriteBase* prompt = getSprite("inputPrompt");
    return prompt && prompt->isInstanceOf("ProfileInputPrompt") ? static_cast<ProfileInputPrompt*>(prompt) : nullptr;
}

GenericDialog* ChoosePlayer::getGenericDialog()
{
    sprite::SpriteBase* dialog = getSprite("genericDialog");
    return dialog && dialog->isInstanceOf("GenericDialog") ? static_cast<GenericDialog*>(dialog) : nullptr;
}

lang::String ChoosePlayer::getProfileName(int i)
{
    if (i < 0 || i >= m_names.size())
        return lang::String("");
    return *static_cast<lang::String*>(m_names.elementAt(i));
}

void ChoosePlayer::setDefinition(sprite::SpriteDefinition* definition)
{
    sprite::DialogSprite::setDefinition(definition);
    lang::IntArray* numbers = definition ? definition->getNumbers() : nullptr;
    if (!numbers || numbers->length() < DEFINITION_NUMBERS)
        window::debugLine("ChoosePlayer: the definition has ", numbers ? numbers->length() : 0, " of its ",
                          DEFINITION_NUMBERS, " numbers\n");
    m_nRowX = definitionNumber(numbers, 0);
    m_nRowY = definitionNumber(numbers, 1);
    m_nRowSpacing = definitionNumber(numbers, 2);
    for (int c = 0; c < 3; ++c) {
        s_normalColour[c] = definitionNumber(numbers, 3 + c);
        s_highlightColour[c] = definitionNumber(numbers, 6 + c);
    }

    for (sprite::NewFontSprite* row : m_rows) {
        if (row)
            removeChild(row);
    }
    releaseRows();
    sprite::SpriteBase* proto = getSprite("protoName");
    if (!proto || !proto->isInstanceOf("NewFontSprite"))
        return;
    for (int i = 0; i < ROW_COUNT; ++i) {
        auto* row = static_cast<sprite::NewFontSprite*>(proto->clone());
        row->setColorBalance(kRowAlpha, s_normalColour[0], s_normalColour[1], s_normalColour[2]);
        row->setPosition(m_nRowX, m_nRowY + i * m_nRowSpacing);
        row->setVisible(true);
        addChild("", row);
        m_rows[i] = row;
    }
}

void ChoosePlayer::colourRow(int i, bool highlight)
{
    if (sprite::NewFontSprite* row = getRow(i)) {
        const int* rgb = highlight ? s_highlightColour : s_normalColour;
        row->setColorBalance(kRowAlpha, rgb[0], rgb[1], rgb[2]);
    }
}

void ChoosePlayer::setSelectedName(const lang::String& name)
{
    m_selectedName = name;
    m_selectedKey = name.toUpperCase();
}

void ChoosePlayer::setSelectedProfile(const lang::String& name)
{
    setSelectedName(name);
    refresh();
}

void ChoosePlayer::loadProfileList()
{
    m_names.removeAllElements();
    if (!m_pMainStore)
        return;
    lang::StringArray keys;
    m_pMainStore->listSubkeys(keys);
    if (keys.length() > 1)
        lang::StringArray::sort(keys);
    // A sub-key without a name is no profile (a profile is made with its
    // name at once): it is neither listed nor counted. One that holds no
    // saved game either is what an unfinished creation left, and goes.
    platform::RegistryBatch cleanup;
    for (int i = 0; i < keys.length(); ++i) {
        lang::String* key = keys.get(i);
        if (!key)
            continue;
        const lang::String upper = key->toUpperCase();
        auto* name = new lang::String(m_pMainStore->getString(upper + "\\displayName", lang::String("")));
        if (!name->isEmpty()) {
            m_names.addElement(name);
        } else if (!holdsSavedGame(upper)) {
            window::debugLine("ChoosePlayer: the settings key \"", key->c_str(), "\" has no profile name; removed\n");
            m_pMainStore->deleteValue(*key);
        }
        name->release();
        key->release();
        *keys.at(i) = nullptr;
    }
}

bool ChoosePlayer::holdsSavedGame(const lang::String& key)
{
    lang::ByteArray bytes;
    return m_pMainStore->getBytesChunked(key + "\\userdata", bytes) || m_pMainStore->getBytes(key + "\\userdata", bytes) ||
           m_pMainStore->getBytesChunked(key + "\\LF", bytes);
}

void ChoosePlayer::refresh()
{
    loadProfileList();
    const int count = m_names.size();
    if (count > 0 && m_selectedName.isEmpty()) {
        selectRow(0);
        setSelectedName(getProfileName(0));
    }
    const bool chosen = !m_selectedName.isEmpty();
    setEnabled(buttonOf(this, "acceptProfile"), chosen);
    setEnabled(buttonOf(this, "createNewProfile"), count < ROW_COUNT);
    setEnabled(buttonOf(this, "deleteProfile"), chosen);
    // Only five rows exist: further sub-keys count as profiles but are not
    // listed.
    for (int i = 0; i < ROW_COUNT; ++i) {
        const lang::String hilite = hiliteName(i);
        sprite::SpriteBase* hiliteSprite = getSprite(hilite.c_str());
        ButtonMixin* button = ButtonMixin::fromSprite(hiliteSprite);
        setState(button, ButtonMixin::DISABLED);
        sprite::NewFontSprite* row = getRow(i);
        if (i >= count) {
            if (row)
                row->setVisible(false);
            if (hiliteSprite)
                hiliteSprite->setVisible(false);
            continue;
        }
        const lang::String name = getProfileName(i);
        if (row) {
            row->setText(name.c_str());
            row->setVisible(true);
        }
        const bool choosable = !name.isEmpty() && !name.equals(m_selectedName);
        if (choosable)
            setEnabled(button, true);
        colourRow(i, !choosable);
        if (hiliteSprite)
            hiliteSprite->setVisible(true);
    }
}

void ChoosePlayer::selectRow(int n)
{
    if (n >= m_names.size())
        return;
    for (int i = 0; i < shownRows(); ++i) {
        const lang::String hilite = hiliteName(i);
        setEnabled(buttonOf(this, hilite.c_str()), true);
        colourRow(i, false);
    }
    if (n < 0) {
        setState(buttonOf(this, "deleteProfile"), ButtonMixin::DISABLED);
        return;
    }
    // A row past the five shown has no text to take.
    if (n >= ROW_COUNT)
        return;
    sprite::NewFontSprite* row = getRow(n);
    setSelectedName(row ? row->getText() : getProfileName(n));
    setEnabled(buttonOf(this, "deleteProfile"), true);
    setEnabled(buttonOf(this, "acceptProfile"), true);
    const lang::String hilite = hiliteName(n);
    setState(buttonOf(this, hilite.c_str()), ButtonMixin::DISABLED);
    colourRow(n, true);
}

void ChoosePlayer::showControls(bool show)
{
    static const char* const kControls[] = {"bkgSelectPlayer", "acceptProfile", "deleteProfile", "createNewProfile",
                                            "protoName"};
    for (const char* name : kControls)
        showSprite(this, name, show);
    for (int i = 0; i < ROW_COUNT; ++i) {
        const lang::String hilite = hiliteName(i);
        showSprite(this, hilite.c_str(), show);
    }
    if (!show)
        return;
    const bool chosen = !m_selectedName.isEmpty();
    setEnabled(buttonOf(this, "acceptProfile"), chosen);
    setEnabled(buttonOf(this, "deleteProfile"), chosen);
    refresh();
}

void ChoosePlayer::setVisible(bool visible)
{
    if (visible) {
        ProfileInputPrompt* prompt = getInputPrompt();
        if (m_selectedName.isEmpty()) {
            // No profile yet: the player types a name first.
            showControls(false);
            if (prompt) {
                prompt->setMayCancel(false);
                prompt->setVisible(true);
            }
        } else {
            showControls(true);
            if (prompt)
                prompt->setMayCancel(true);
        }
    }
    sprite::DialogSprite::setVisible(visible);
}

bool ChoosePlayer::isInputPromptVisible()
{
    ProfileInputPrompt* prompt = getInputPrompt();
    return prompt && prompt->isVisible();
}

int ChoosePlayer::translateCommand(lang::String* command, lang::String* result, int clickCount)
{
    if (!command || !result)
        return KEEP_COMMAND;
    const lang::String& c = *command;
    if (c.equalsIgnoreCase("acceptProfile")) {
        if (m_selectedName.isEmpty())
            return KEEP_COMMAND;
        setVisible(false);
        *result = lang::String(kProfilePrefix) + m_selectedName;
        return REPLACE_COMMAND;
    }
    if (c.equalsIgnoreCase("cancelAddProfile")) {
        showControls(true);
        if (ProfileInputPrompt* prompt = getInputPrompt())
            prompt->setVisible(false);
        setEnabled(buttonOf(this, "acceptProfile"), !m_selectedName.isEmpty());
        return CANCEL_COMMAND_TOO;
    }
    if (c.equalsIgnoreCase("cancelDelete")) {
        showControls(true);
        setEnabled(buttonOf(this, "acceptProfile"), !m_selectedName.isEmpty());
        return CANCEL_COMMAND_TOO;
    }
    if (c.equalsIgnoreCase("deleteProfile")) {
        setState(buttonOf(this, "acceptProfile"), ButtonMixin::DISABLED);
        if (GenericDialog* confirm = getGenericDialog()) {
            lang::String message = lang::String::loadText("STR_REALLY_DELETE_1");
            message.append(m_selectedName);
            message.append(lang::String::loadText("STR_REALLY_DELETE_2"));
            confirm->open(GenericDialog::KIND_DELETE, message, lang::String("confirmDeleteProfile"),
                          lang::String("cancelAddProfile"));
            addChild("genericDialog", confirm);
            confirm->setVisible(true);
        }
        showControls(false);
        return CANCEL_COMMAND_TOO;
    }
    if (c.equalsIgnoreCase("confirmDeleteProfile")) {
        showControls(true);
        // The profile and the choice after it reach the settings file in one write.
        platform::RegistryBatch deletion;
        deleteSelectedProfile();
        setSelectedProfile(lang::String(""));
        if (m_pMainStore)
            m_pMainStore->setString(lang::String("LASTPROFILE"), m_selectedName);
        refresh();
        setVisible(true);
        return CANCEL_COMMAND_TOO;
    }
    if (c.equalsIgnoreCase("createNewProfile")) {
        if (ProfileInputPrompt* prompt = getInputPrompt()) {
            prompt->setMayCancel(m_names.size() > 0);
            bringToFront(prompt);
            prompt->setVisible(true);
        }
        showControls(false);
        return CANCEL_COMMAND_TOO;
    }
    if (c.equalsIgnoreCase("submitNewProfile"))
        return createProfile(result);
    if (startsWithIgnoreCase(c, kHilite, kHiliteLength)) {
        // Only the five rows have highlight buttons.
        const int n = std::atoi(c.c_str() + kHiliteLength);
        if (n >= 0 && n < ROW_COUNT)
            selectRow(n);
        if (clickCount == 2) {
            lang::String accept("acceptProfile");
            return translateCommand(&accept, result, 1);
        }
        return CANCEL_COMMAND_TOO;
    }
    return KEEP_COMMAND;
}

void ChoosePlayer::deleteSelectedProfile()
{
    // With no name the paths below would name the settings root itself.
    if (!m_pMainStore || m_selectedName.isEmpty())
        return;
    lang::String userdata(m_selectedName);
    userdata.append("\\userdata");
    m_pMainStore->deleteValue(userdata);
    m_pMainStore->deleteValue(m_selectedName);
    // The canvas must not save the profile it played under again: that
    // would bring the deleted profile back without its name.
    LanternfieldCanvas* canvas = LanternfieldCanvas::instance;
    if (canvas && canvas->getProfileName().equalsIgnoreCase(m_selectedName))
        canvas->setProfileName(lang::String(""));
}

int ChoosePlayer::createProfile(lang::String* result)
{
    showControls(true);
    ProfileInputPrompt* prompt = getInputPrompt();
    sprite::NewFontSprite* field = prompt ? prompt->getNameField() : nullptr;
    const lang::String name = field ? field->getText().trim() : lang::String("");
    if (name.isEmpty())
        return CANCEL_COMMAND_TOO;

    // The profile's key, its name and the choice of it reach the settings
    // file in one write: a key without its name is never saved.
    platform::RegistryBatch creation;
    // The profile's own store opens (and so makes) the profile's sub-key.
    lang::String existing("");
    if (m_pProfileStore) {
        lang::String key = lang::String::loadText("REGISTRYNAME");
        key.append("\\");
        key.append(name.toUpperCase());
        m_pProfileStore->open(key);
        existing = m_pProfileStore->getString(lang::String("displayName"), lang::String(""));
    } else if (m_pMainStore) {
        existing = m_pMainStore->getString(name.toUpperCase() + "\\displayName", lang::String(""));
    }
    if (!existing.isEmpty()) {
        // Names that differ only in case are the same profile.
        if (GenericDialog* notice = getGenericDialog()) {
            notice->open(GenericDialog::KIND_NOTICE, lang::String::loadText("STR_DUPLICATE_NAME"), lang::String(""),
                         lang::String(""));
            bringToFront(notice);
            notice->setVisible(true);
        }
        showControls(false);
        return CANCEL_COMMAND_TOO;
    }
    // A new player starts with nothing a former player of that name left.
    if (m_pProfileStore)
        PlayerProfile::makeNew(*m_pProfileStore, lang::String(""), name);
    else if (m_pMainStore)
        PlayerProfile::makeNew(*m_pMainStore, name.toUpperCase() + "\\", name);
    if (m_pMainStore)
        m_pMainStore->setString(lang::String("LASTPROFILE"), name);
    setSelectedProfile(name);
    if (prompt)
        prompt->setVisible(false);
    *result = lang::String(kProfilePrefix) + m_selectedName;
    return REPLACE_COMMAND;
}

int ChoosePlayer::keyDown(int key)
{
    sprite::DialogSprite* nested = getGenericDialog();
    if (!nested || !nested->isVisible()) {
        nested = getInputPrompt();
        if (!nested || !nested->isVisible())
            return NOT_HANDLED;
    }
    const int r = nested->keyDown(key);
    m_lastCommand = nested->getLastCommand();
    return r;
}
