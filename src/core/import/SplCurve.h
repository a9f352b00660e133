#pragma once

namespace kv {

class CBand;

// 10^(dB/20) as the SPL curves are built: exactly 1 at 0 dB, capped at
// 10686474000000 above 600 dB and at 1e-38 below -760 dB.
double LevelToMagnitude(double dB);

// Sets the band's smoothing (1..48) and rebuilds splSmoothed from splRaw;
// false, and nothing changes, for a value outside that range. A curve too
// sparse for the requested smoothing is taken as it is.
bool SetSmoothing(CBand& band, int n);

// splSmoothed rebuilt from splRaw without smoothing, one value per entry of
// splFreqs.
void RebuildUnsmoothedCurve(CBand& band);

} // namespace kv
