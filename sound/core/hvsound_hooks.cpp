// hvsound_hooks.cpp: neutral bodies for the entry points of the layers that
// stand on the engine core. Each body moves out when its layer is written:
// the engine then starts, stops and updates that layer with no other change.
#include "sound/core/hvsound_hooks.h"

#include "sound/core/hvsound.h"
#include "sound/output/output_nosound.h"

bool HVSOUND_MPEG_ReadCallback(HVSOUND_STREAM* /*stream*/, void* /*sourceBuffer*/, int /*sourceSize*/,
                               void* /*destination*/, int* length)
{
    *length = 0;
    return false;
}

int HVSOUND_MPEG_FrameBytes(const HVSOUND_MPEG_DECODER* /*decoder*/)
{
    return 0;
}
