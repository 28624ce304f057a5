// A small fake receiver memory behind a ScriptedPort: answers "L" read-outs
// (one channel, or a range as one stream of records; an empty channel as
// "L" ccc "V" CR), stores "K" writes, empties on "U5", copies the working
// settings into channel 199 on "J1199", and can fall silent after a number
// of read-outs.
#pragma once
#include "link/scriptedport.h"

#include <QByteArray>
#include <QMap>
#include <QTimer>
#include <algorithm>
#include <array>

// The commands sent on port that start with one of the prefixes, in order.
inline QStringList sentWith(const ScriptedPort &port, const QStringList &prefixes)
{
    QStringList out;
    for (const QString &c : port.commands())
        if (std::any_of(prefixes.begin(), prefixes.end(), [&](const QString &p) { return c.startsWith(p); }))
            out << c;
    return out;
}

struct FakeMemory {
    // rec12 per channel; empty = an empty channel.
    std::array<QByteArray, 200> ch;
    QByteArray working = "004095000000"; // 9500 kHz AM
    int readouts = 0;
    int silentAfter = -1;    // stop answering "L" after this many read-outs
    bool splitReplies = false; // send each reply in two pieces
    // A range read-out: records sent in place of a channel's (empty: the
    // record is left out), and the number of records before it stops.
    QMap<int, QByteArray> inStream;
    int streamRecords = 200;
    // A one-channel read-out: replies sent in place of the channel's, the
    // first times it is read; and a dial report sent in front of each.
    QMap<int, QList<QByteArray>> garbled;
    QByteArray report;

    QByteArray reply(int c) const
    {
        const QByteArray nr = QByteArray::number(c + 1000).right(3);
        if (ch[c].isEmpty())
            return "L" + nr + "V\r";
        return "L" + nr + ch[c] + "\r";
    }

    void attach(ScriptedPort &port)
    {
        port.responder = [this, &port](const QByteArray &c) -> QByteArray {
            if (c == "J1199") {
                ch[199] = working;
            } else if (c.startsWith('L') && c.size() == 7) {
                ++readouts;
                if (silentAfter >= 0 && readouts > silentAfter)
                    return {};
                const int first = c.mid(1, 3).toInt();
                const int last = c.mid(4, 3).toInt();
                if (first < 0 || first > 199)
                    return {};
                if (last > first) {
                    QByteArray out;
                    for (int i = first; i <= last && i - first < streamRecords; ++i)
                        out += inStream.value(i, reply(i));
                    return out;
                }
                const QByteArray r = report + (garbled.value(first).isEmpty() ? reply(first)
                                                                              : garbled[first].takeFirst());
                if (splitReplies) {
                    // First half now, the rest a moment later.
                    QByteArray rest = r.mid(7);
                    QTimer::singleShot(5, &port, [&port, rest] { port.inject(rest); });
                    return r.left(7);
                }
                return r;
            } else if (c.startsWith('K') && c.size() == 16) {
                ch[c.mid(1, 3).toInt() % 200] = c.mid(4);
            } else if (c.startsWith("U5") && c.size() == 5) {
                ch[c.mid(2, 3).toInt() % 200].clear();
            }
            return {};
        };
    }
};
