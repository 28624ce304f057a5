// A small model of the short-wave band as the simulated receiver hears it:
// a handful of stations on fixed frequencies above a noise floor.
#pragma once
#include <QList>
#include <QString>

struct SimStation {
    qint64 hz;          // carrier frequency
    double sUnits;      // strength at the antenna in S-units (6 dB each), S9 = 9
    QString name;       // made-up station name, only for show
};

class BandModel {
public:
    BandModel();

    const QList<SimStation> &stations() const { return m_stations; }

    // Passband width in Hz of a bandwidth code (0 Wide, 1 Inter, 2 Narr, 3 Aux).
    static int passbandHz(int bw);

    // Strength in S-units seen by the meter at the given tuning, before the
    // attenuator: the noise floor of the passband plus every station, each
    // weakened by how far it lies outside the passband. tMs gives a slow,
    // deterministic fading (well below one S-unit).
    double sUnits(qint64 tunedHz, int bw, qint64 tMs) const;

    // The receiver's raw meter level for that strength: 138 at S0, 4 steps per
    // S-unit, lower = stronger; the attenuator takes 20 dB off the signal.
    // Kept within 0..255.
    int rawLevel(qint64 tunedHz, int bw, bool att, qint64 tMs) const;

    // Noise floor in S-units for a bandwidth code.
    static double noiseFloor(int bw);

private:
    QList<SimStation> m_stations;
};
