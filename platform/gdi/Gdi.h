// Gdi.h: every GDI call of the compatibility layer in one include.
#pragma once

#include "platform/gdi/GdiDrawing.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/GdiRegions.h"
#include "platform/gdi/GdiText.h"
#include "platform/gdi/GdiTypes.h"
