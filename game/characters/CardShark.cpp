// CardShark.cpp: the metaclass of CardShark.
#include "game/characters/CardShark.h"

HV_DEFINE_METACLASS(CardShark);
