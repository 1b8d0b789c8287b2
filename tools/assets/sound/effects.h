#pragma once

#include "sound/mix_buffer.h"

namespace rv::assets {

// The four effects, mono. Each starts and ends at silence.
// A block lands: short and percussive; it is cut and restarted on every placement.
MixBuffer RenderPlaceEffect();
// The match starts: a bright rising fanfare of about a second.
MixBuffer RenderStartEffect();
// The ranking opens: a bell chime, under a second.
MixBuffer RenderRankingEffect();
// Goodbye: a falling phrase of about a second.
MixBuffer RenderGoodbyeEffect();

}  // namespace rv::assets
