// PlayerProfile.h: which player a profile's saved game belongs to. Copies of
// the game running at once share the settings: one may delete a player, or
// delete one and make a new player of the same name, while another still
// plays the old one. Every profile made gets an id of its own, and a copy
// saves a player's game only into the profile it read.
#pragma once

#include "core/lang/String.h"

namespace sprite {
class User;
}

class PlayerProfile {
public:
    // The profile's value that tells it from a later profile of the same
    // name; profiles made before it existed have none ("").
    static const char* const ID_VALUE;

    // Notes what the settings hold now for the profile `name` (read through
    // the main store, in a batch so that it is the file's own): whether it
    // has a display name, and its id.
    void remember(sprite::User& store, const lang::String& name);
    // Whether a save may go into the profile `name`: a profile that had its
    // display name when it was read still has it (another copy may have
    // deleted it), and one that has it now has the id remembered (another
    // copy may have made a new player of that name). A profile not
    // remembered is taken as it is, and remembered.
    bool isStillTheOneRead(sprite::User& store, const lang::String& name);

    // Makes the values of a new player's profile `name` (as typed) in a
    // store, below `prefix` ("" for a store opened on the profile's own key),
    // in the caller's batch: whatever a former player of that name left (a
    // saved game the profile's key still held) goes, and the profile gets
    // its display name and a new id.
    static void makeNew(sprite::User& store, const lang::String& prefix, const lang::String& name);

private:
    lang::String m_name;
    bool m_named = false;
    lang::String m_id;
};
