// GameClasses.cpp: the game classes' metaclasses, made and deleted in order.
#include "game/registration/GameClasses.h"

#include "core/lang/MetaclassList.h"
#include "game/ambient/AmbientButterfly.h"
#include "game/ambient/AmbientFirefly.h"
#include "game/balloons/TalkBalloon.h"
#include "game/characters/Barkeeper.h"
#include "game/characters/CardShark.h"
#include "game/characters/Character.h"
#include "game/characters/Fisherman.h"
#include "game/characters/GalleryOwner.h"
#include "game/characters/Millionaire.h"
#include "game/characters/ParkRanger.h"
#include "game/characters/PlayerCharacter.h"
#include "game/characters/Professor.h"
#include "game/characters/ShopKeeper.h"
#include "game/characters/TribalElder.h"
#include "game/characters/TutorialCharacter.h"
#include "game/cutscenes/Vignette.h"
#include "game/cutscenes/VignetteAnimate.h"
#include "game/debug/PuzzleCheats.h"
#include "game/effects/SparkleSprite.h"
#include "game/dialogs/ChoosePlayer.h"
#include "game/dialogs/GenericDialog.h"
#include "game/dialogs/GameInstructDialog.h"
#include "game/dialogs/InstructDialog.h"
#include "game/dialogs/ProfileInputPrompt.h"
#include "game/inventory/Inventory.h"
#include "game/menus/BookDlgSprite.h"
#include "game/menus/MenuSprite.h"
#include "game/menus/OptionsSprite.h"
#include "game/rooms/DoorSprite.h"
#include "game/rooms/Room.h"

const char* const GameClasses::kClassNames[] = {
    "PuzzleCheats", "Vignette",    "Barkeeper",   "CardShark",   "Fisherman",         "GalleryOwner",
    "Millionaire",  "ParkRanger",  "PlayerCharacter", "Professor", "ShopKeeper",      "TribalElder",
    "TutorialCharacter", "BookDlgSprite", "Character", "ChoosePlayer", "GameInstructDialog", "InstructDialog",
    "Inventory",    "MenuSprite",  "OptionsSprite", "Room",      "TalkBalloon",       "AmbientButterfly",
    "AmbientFirefly", "DoorSprite", "SparkleSprite",
    "ProfileInputPrompt", "GenericDialog", "VignetteAnimate",
};
const int GameClasses::kClassCount = int(sizeof kClassNames / sizeof kClassNames[0]);

namespace {

// The metaclasses in their order of creation; deleted from the back.
lang::MetaclassList& metaclasses()
{
    static lang::MetaclassList made;
    return made;
}

template <class Metaclass>
void make()
{
    metaclasses().make<Metaclass>();
}

} // namespace

bool GameClasses::areClassesRegistered()
{
    return !metaclasses().empty();
}

void GameClasses::registerClasses()
{
    if (areClassesRegistered())
        return;
    make<PuzzleCheats::PuzzleCheatsClass>();
    make<Vignette::VignetteClass>();
    make<Barkeeper::BarkeeperClass>();
    make<CardShark::CardSharkClass>();
    make<Fisherman::FishermanClass>();
    make<GalleryOwner::GalleryOwnerClass>();
    make<Millionaire::MillionaireClass>();
    make<ParkRanger::ParkRangerClass>();
    make<PlayerCharacter::PlayerCharacterClass>();
    make<Professor::ProfessorClass>();
    make<ShopKeeper::ShopKeeperClass>();
    make<TribalElder::TribalElderClass>();
    make<TutorialCharacter::TutorialCharacterClass>();
    make<BookDlgSprite::BookDlgSpriteClass>();
    make<Character::CharacterClass>();
    make<ChoosePlayer::ChoosePlayerClass>();
    make<GameInstructDialog::GameInstructDialogClass>();
    make<InstructDialog::InstructDialogClass>();
    make<Inventory::InventoryClass>();
    make<MenuSprite::MenuSpriteClass>();
    make<OptionsSprite::OptionsSpriteClass>();
    make<Room::RoomClass>();
    make<TalkBalloon::TalkBalloonClass>();
    make<AmbientButterfly::AmbientButterflyClass>();
    make<AmbientFirefly::AmbientFireflyClass>();
    make<DoorSprite::DoorSpriteClass>();
    make<SparkleSprite::SparkleSpriteClass>();
    make<ProfileInputPrompt::ProfileInputPromptClass>();
    make<GenericDialog::GenericDialogClass>();
    make<VignetteAnimate::VignetteAnimateClass>();
}

void GameClasses::unregisterClasses()
{
    metaclasses().deleteAll();
}
