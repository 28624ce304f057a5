#include "common/ui/hints.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QHash>
#include <QWidget>

namespace uihints {

namespace {

// "window/object" for a name that means different things in different
// windows, else "object" alone.
struct Hint {
    const char *key;
    const char *text;
};

const Hint kHints[] = {
    // The control panel's menus.
    {"mnu_direct", "Direct: the receiver and the program (update, set-up, user definitions, guide, RTTY, exit)"},
    {"mnu_update", "Read the receiver's settings again; after a lost serial line, open it again"},
    {"mnu_udefs", "User definitions: the receiver's own preferences (display, beep, relay, CW pitch)"},
    {"mnu_docs", "This guide, as a word-processor document or inside the program"},
    {"mnu_RTTY", "RTTY: radio teletype text decoded by the receiver's optional RTTY unit"},
    {"mnu_db2rx", "Db2Rx, database to receiver: schedule lists to tune the receiver from"},
    {"mnu_bdxc", "A BDXC or ADX broadcast schedule list (BDXC folder): tune from its rows"},
    {"mnu_own", "Your own schedule list (OWN folder, files OWN_*.TXT): tune from its rows"},
    {"mnu_ilg", "A list converted from the ILG Radio database (.ftl), with filters: tune from its rows"},
    {"mnu_convert1", "Convert the ILG Radio database tables into a list (.ftl) for Db2Rx and tracking"},
    {"mnu_convert2", "Convert the ILG Radio database tables into a list (.ftl) for Db2Rx and tracking"},
    {"mnu_rx2db", "Rx2Db, receiver to database: the logbook and the tracking of what the receiver hears"},
    {"mnu_logging", "The logbook of stations heard (LOG folder)"},
    {"mnu_tracking", "The broadcasts around the tuned frequency, from a converted ILG list"},
    {"mnu_mem", "MemMan, memory management: the receiver's 200 memory channels"},
    {"mnu_memman", "Read, edit, save, write back and scan the receiver's 200 memory channels"},
    {"mnu_signalan", "Signal An, signal analysis: S-meter, spectrum scan and propagation recordings"},
    {"mnu_Smeter", "The signal strength as a needle, the last minute and its histogram"},
    {"mnu_spectrum", "Signal strength over a frequency range (SAN files); click the graph to tune"},
    {"mnu_prop", "Signal strength recorded over time on one frequency (PAN files)"},
    {"mnu_proptime", "Propagation: minute readings over an hour, in three panels"},
    {"mnu_prophist", "Propagation: readings over time with a rolling histogram"},
    {"mnu_timers", "The PC clock, the receiver's clocks and the event timer"},
    {"mnu_pcclock", "Set the PC's date and time (the desktop's own settings)"},
    {"mnu_rxclock", "Set the receiver's clocks and its timer-on and timer-off times"},
    {"mnu_timer", "The event timer: tune, switch and record at set times"},
    // The control panel's settings.
    {"lbl_tagc", "agc: automatic gain control (fast, slow, off)"},
    {"grd_agc", "agc: automatic gain control (fast, slow, off)"},
    {"lbl_tnb", "nb: noise blanker"},
    {"grd_nb", "nb: noise blanker"},
    {"lbl_tHF", "att: the RF attenuator (20 dB)"},
    {"grd_HF", "att: the RF attenuator (20 dB)"},
    {"lbl_tvbt", "vbt: the receiver's vbt function (user definition 1), On or Off"},
    {"grd_vbt", "vbt: the receiver's vbt function (user definition 1), On or Off"},
    {"lbl_tbwc", "bwc: bandwidth control (optional unit), while the Lock is On"},
    {"vsc_bwc", "bwc: bandwidth control (optional unit), while the Lock is On"},
    {"lbl_tpbs", "pbs: passband shift, while the Lock is On"},
    {"vsc_pbs", "pbs: passband shift, while the Lock is On"},
    {"grd_lock", "Lock On keeps the receiver in remote control between commands (its own knobs are locked)"},
    {"lbl_tCS", "The tuning step of the arrows, GO, the mouse wheel and Page Up/Down (Shift: ten steps)"},
    {"grd_CS", "The tuning step of the arrows, GO, the mouse wheel and Page Up/Down (Shift: ten steps)"},
    // Memory management.
    {"MemMan/cmd_fetch", "Fetch RM, fetch receiver memory: read all 200 channels of the receiver into the table"},
    {"MemMan/cmd_SetRx", "Set R2M: recall the selected channel on the receiver (it tunes to what it holds there);"
                         " also a double-click on the row"},
    {"MemMan/cmd_fill", "Fill RM, fill receiver memory: write channels From to To of the table into the receiver"},
    {"MemMan/cmd_sort", "Sort Freq: sort the channels on frequency"},
    {"MemMan/cmd_Close", "Clr: clear the table"},
    {"MemMan/cmd_scanho", "NO Scan: stop the scan"},
    {"MemMan/cmd_dump", "Dump: type a channel's values in the cell editor, without data in the table"},
    {"MemMan/lbl_tag", "Add.: the additional text (alpha tag) of the selected channel"},
    {"MemMan/grd_titles", "NR channel, ATT attenuator, BW bandwidth, MD mode, AGC automatic gain control"},
    {"memcell/cmd_ToMMW", "To MMW: write the cell into the Memory Management window's table (the receiver is"
                          " not changed)"},
    {"memcell/cmd_ToRM", "To RxM: write the cell into the receiver's memory (the table is not changed)"},
    // Set-up.
    {"setup/fra_cp", "CommPort: the serial port of the receiver, COM 1 to COM 4 (/dev/ttyS0 to /dev/ttyS3),"
                     " or a port from the list"},
    {"setup/fra_td", "LT-UTC: local time minus UTC in hours, -13 to +13"},
    {"setup/fra_dir", "Dir Path: the data folder, with BDXC, OWN, Rx2Db, LOG, MEM, SAN, PAN, NEWS and REC in it"},
    {"setup/chk_Prop_2", "NO RX: work without a receiver"},
    {"setup/chk_nrd_0", "BWC: the bandwidth control unit is fitted"},
    {"setup/chk_nrd_1", "1 kHz: the narrow filter unit (CFL-23x) is fitted"},
    {"setup/chk_nrd_2", "ECSS: the ECSS unit (CMF-78) is fitted; without it its two modes stay empty"},
    {"setup/chk_nrd_3", "RTTY: the RTTY demodulator unit is fitted"},
    {"setup/fra_bdx", "DIM BDX: room for this many thousand lines of a BDXC or ADX list"},
    {"setup/fra_own", "DIM OWN: room for this many thousand lines of your own list"},
    {"setup/fra_log", "DIM LOG: room for this many thousand log records"},
    {"setup/fra_ilg", "DIM ILG: room for this many thousand lines of a converted ILG list"},
    {"setup/fra_ta", "RX Target Area: the region the receiver is in; broadcasts aimed at it are marked"},
    // Logbook.
    {"logfmt2/chk_fmt_4", "SINPO: signal, interference, noise, propagation, overall, each 1 to 5"},
    {"logfmt2/chk_fmt_6", "BC Org.: the broadcasting organisation"},
    {"logfmt2/chk_fmt_8", "// Freq 1: a parallel frequency of the broadcast"},
    {"logfmt2/chk_fmt_9", "// Freq 2: a parallel frequency of the broadcast"},
    {"logfmt2/chk_fmt_10", "// Freq 3: a parallel frequency of the broadcast"},
    {"logfmt2/chk_fmt_11", "// Freq 4: a parallel frequency of the broadcast"},
    {"logfmt2/chk_fmt_13", "abmg: the tuning code: attenuator, bandwidth, mode and AGC digits"},
    {"logfmt2/chk_fmt_14", "pqrs: four further setting characters, stored and shown as entered"},
    {"loginput/txt_in_4", "SINPO: signal, interference, noise, propagation, overall, each 1 to 5"},
    {"loginput/txt_in_13", "Settings abmg: the tuning code: attenuator, bandwidth, mode and AGC digits"},
    {"loginput/txt_in_14", "Settings pqrs: four further setting characters, stored and shown as entered"},
    {"log/cmd_adif", "ADIF: the exchange format of logging programs"},
    {"log/cmd_adx", "ADX: the XML form of the ADIF exchange format"},
    // Tracking.
    {"tracking/opt_hial_0", "Hits: only the broadcasts on the air now"},
    {"tracking/opt_hial_1", "All: every broadcast near the frequency"},
    {"tracking/opt_ladi_0", "Lat/Lon: the transmitter's latitude and longitude"},
    {"tracking/opt_ladi_1", "Dis/Dir: the transmitter's distance and bearing from the receiver"},
    {"tracking/opt_ladi_2", "Ctry: the transmitter's country"},
    {"tracking/Label1", "Ctry: the transmitter's country"},
    {"tracking/opt_modi_0", "Mouse: step the frequency from this window"},
    {"tracking/opt_modi_1", "Dial: follow the receiver's own dial"},
    // Receiver clocks.
    {"RxClocks/cmd_GetRxCl", "Read the receiver's clock"},
    {"RxClocks/cmd_setton", "Set Tmr On: set the receiver's timer-on time (hhmm)"},
    {"RxClocks/cmd_seeton", "See Tmr On: show the receiver's timer-on time"},
    {"RxClocks/cmd_settof", "Set Tmr Off: set the receiver's timer-off time (hhmm)"},
    {"RxClocks/cmd_seetof", "SeeTmr Off: show the receiver's timer-off time"},
    // Names that mean the same in every window.
    {"cmd_rxctrl", "Show the control panel"},
    {"cmd_Rx", "Show the control panel"},
    {"cmd_Top", "Show the control panel"},
    {"SSCommand1", "Show the control panel"},
    {"cmd_cls", "Cls: clear the display"},
    {"cmd_setfre", "Tune Rx: click the graph to tune the receiver to that frequency; Stop ends it"},
    {"cmd_savez", "SaveAs: save what was measured under a new name (SAN or PAN file)"},
};

const QHash<QString, QString> &table()
{
    static const QHash<QString, QString> t = [] {
        QHash<QString, QString> h;
        for (const Hint &x : kHints)
            h.insert(QString::fromLatin1(x.key), QString::fromLatin1(x.text));
        return h;
    }();
    return t;
}

void give(QObject *o, const QString &hint)
{
    if (auto *a = qobject_cast<QAction *>(o)) {
        a->setToolTip(hint); // an action's own tooltip is only its caption
        a->setStatusTip(hint);
    } else if (auto *w = qobject_cast<QWidget *>(o)) {
        if (w->toolTip().isEmpty())
            w->setToolTip(hint);
        w->setStatusTip(hint);
    }
}

class Installer : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Show && o->isWidgetType()) {
            auto *w = static_cast<QWidget *>(o);
            if (w->isWindow())
                apply(w);
        }
        return false;
    }
};

} // namespace

QString of(const QString &windowName, const QString &objectName)
{
    if (objectName.isEmpty())
        return QString();
    const QString scoped = table().value(windowName + QLatin1Char('/') + objectName);
    return scoped.isEmpty() ? table().value(objectName) : scoped;
}

QStringList namesFor(const QString &windowName)
{
    QStringList out;
    const QString prefix = windowName + QLatin1Char('/');
    for (const Hint &x : kHints) {
        const QString key = QString::fromLatin1(x.key);
        if (key.startsWith(prefix))
            out << key.mid(prefix.size());
    }
    return out;
}

void apply(QWidget *w)
{
    const QString win = w->objectName();
    for (QObject *o : w->findChildren<QObject *>()) {
        const QString hint = of(win, o->objectName());
        if (!hint.isEmpty())
            give(o, hint);
    }
}

} // namespace uihints

void uihints::install()
{
    static Installer *installer = nullptr;
    if (installer || !qApp)
        return;
    installer = new Installer(qApp);
    qApp->installEventFilter(installer);
}
