#include "sim/bandmodel.h"

#include <QtMath>
#include <algorithm>
#include <cmath>

BandModel::BandModel()
{
    m_stations = {
        {  198000, 10.0, "Longwave Relay" },
        {  1476000, 8.5, "Mediumwave Regional" },
        {  3955000, 7.5, "Channel 3955" },
        {  5975000, 9.5, "Radio Meridian" },
        {  6175000, 11.0, "Voice of the Lowlands" },
        {  7275000, 10.5, "Radio Kestrel International" },
        {  9410000, 12.0, "World Service Relay" },
        {  9500000, 12.5, "Radio Aurora" },
        {  9580000, 9.5, "Radio Coralline" },
        {  9655000, 7.0, "Voice of the Fjords" },
        {  9730000, 11.0, "Radio Halcyon" },
        {  9790000, 5.5, "Highland Relay" },
        {  9860000, 10.0, "Radio Estuary" },
        { 11750000, 9.0, "Radio Caravel" },
        { 13710000, 10.0, "Northern Voice" },
        { 15120000, 13.0, "Radio Savanna" },
        { 17770000, 8.0, "Pacific Horizon" },
        { 21500000, 7.0, "Radio Tundra" },
    };
}

int BandModel::passbandHz(int bw)
{
    switch (bw) {
    case 0: return 6000;
    case 1: return 2400;
    case 2: return 1000;
    case 3: return 12000;
    default: return 6000;
    }
}

double BandModel::noiseFloor(int bw)
{
    // Noise power grows with the passband: 10 log10(bw) dB, 6 dB per S-unit,
    // so the wide filter sits near S2.5 and the narrow one near S0.6.
    const double db = 10.0 * std::log10(passbandHz(bw) / 1000.0);
    return 1.2 + db / 6.0;
}

double BandModel::sUnits(qint64 tunedHz, int bw, qint64 tMs) const
{
    const double half = passbandHz(bw) / 2.0;
    double power = std::pow(10.0, noiseFloor(bw) * 6.0 / 10.0);
    int index = 0;
    for (const SimStation &s : m_stations) {
        ++index;
        const double off = std::abs(double(s.hz - tunedHz));
        // Outside the passband the filter skirt takes 30 dB per kHz, and a
        // station far away leaves nothing at all.
        double loss = 0.0;
        if (off > half)
            loss = (off - half) / 1000.0 * 30.0;
        if (loss > 120.0)
            continue;
        // Slow fading: each station has its own period of 7 to 19 seconds.
        const double period = 7000.0 + 1000.0 * (index % 13);
        const double fade = 0.6 * std::sin(2.0 * M_PI * double(tMs) / period + index);
        const double db = (s.sUnits + fade) * 6.0 - loss;
        power += std::pow(10.0, db / 10.0);
    }
    return 10.0 * std::log10(power) / 6.0;
}

int BandModel::rawLevel(qint64 tunedHz, int bw, bool att, qint64 tMs) const
{
    double s = sUnits(tunedHz, bw, tMs);
    if (att)
        s -= 20.0 / 6.0;
    const int raw = int(std::lround(138.0 - 4.0 * s));
    return std::clamp(raw, 0, 255);
}
