#include "measure/gate.h"

namespace measuregate {

QStringList disables(Window w)
{
    switch (w) {
    case Smeter:
        return {QStringLiteral("mnu_spectrum"), QStringLiteral("mnu_prop")};
    case Spectrum:
        return {QStringLiteral("mnu_prop"), QStringLiteral("mnu_Smeter")};
    case Proptime:
        return {QStringLiteral("mnu_spectrum"), QStringLiteral("mnu_prophist"),
                QStringLiteral("mnu_Smeter")};
    case Prophist:
        return {QStringLiteral("mnu_spectrum"), QStringLiteral("mnu_proptime"),
                QStringLiteral("mnu_Smeter")};
    }
    return {};
}

QStringList items()
{
    return {QStringLiteral("mnu_Smeter"), QStringLiteral("mnu_spectrum"),
            QStringLiteral("mnu_prop"), QStringLiteral("mnu_proptime"),
            QStringLiteral("mnu_prophist")};
}

QStringList disabledFor(int openMask)
{
    QStringList out;
    for (Window w : {Smeter, Spectrum, Proptime, Prophist})
        if (openMask & w)
            for (const QString &s : disables(w))
                if (!out.contains(s))
                    out << s;
    return out;
}

} // namespace measuregate
