#include "link/captions.h"

#include "settings/settings.h"

Captions Captions::build(bool narrow, bool ecss)
{
    Captions c;
    const QString off = QStringLiteral(" Off"), on = QStringLiteral(" On");
    c.att = {off, on, QString()};
    c.bw = {QStringLiteral("Wide"), QStringLiteral("Inter"),
            narrow ? QStringLiteral("Narr") : QString(), QStringLiteral("Aux"), QString()};
    c.mode = {QStringLiteral("RTTY"), QStringLiteral("CW"), QStringLiteral("USB"),
              QStringLiteral("LSB"), QStringLiteral("AM"), QStringLiteral("NFM"),
              QStringLiteral("FAX"), ecss ? QStringLiteral("AM-U") : QString(),
              ecss ? QStringLiteral("AM-L") : QString()};
    c.agc = {QStringLiteral("Slow"), QStringLiteral("Fast"), off, QString(), QString()};
    c.nb = {QStringLiteral("Off"), QStringLiteral("NB1"), QStringLiteral("NB2")};
    c.lock = {off, on};
    c.vbt = {off, on};

    c.gridHF = {off, on};
    c.gridVbt = {off, on};
    c.gridLock = {off, on};
    c.gridAgc = {off, QStringLiteral("Fast"), QStringLiteral("Slow")};
    c.gridNb = {QStringLiteral("Off"), QStringLiteral("NB1"), QStringLiteral("NB2")};
    c.gridBw = {narrow ? QStringLiteral(" Narr") : QString(), QStringLiteral(" Inter"),
                QStringLiteral(" Wide"), QStringLiteral(" Aux")};
    c.gridMd = {QStringLiteral("  AM "), ecss ? QStringLiteral("AM-U") : QString(),
                ecss ? QStringLiteral("AM-L") : QString(),
                QStringLiteral(" USB"), QStringLiteral(" LSB"), QStringLiteral("  CW"),
                QStringLiteral("RTTY"), QStringLiteral(" FAX"), QStringLiteral(" NFM")};
    // Tuning steps: one group per column, top to bottom; stored row-major.
    const char *cols[4][4] = {{"0.001", "0.01", "0.02", "0.05"},
                              {"0.1", "0.2", "0.5", "1"},
                              {"2", "3", "5", "9"},
                              {"10", "12.5", "25", "50"}};
    for (int r = 0; r < 4; ++r)
        for (int col = 0; col < 4; ++col)
            c.gridCS << QString::fromLatin1(cols[col][r]);
    c.region_codes = {QStringLiteral("NA"), QStringLiteral("CA"), QStringLiteral("SA"),
                      QStringLiteral("EU"), QStringLiteral("AF"), QStringLiteral("ME"),
                      QStringLiteral("AS"), QStringLiteral("AU"), QStringLiteral("PA")};
    return c;
}

Captions Captions::build(const Settings &s)
{
    return build(s.narrowFitted(), s.ecssFitted());
}

QString Captions::text(const QStringList &table, int code, bool *ok)
{
    const bool in = code >= 0 && code < table.size();
    if (ok)
        *ok = in;
    return in ? table.at(code) : QString();
}
