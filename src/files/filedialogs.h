// The two file dialogs every window uses to name and pick its data files:
// selsave (name a file to write) and selfile (pick a file to read). The caller
// code picks the directory, the naming rule and the messages; the routine to
// run after OK is handed in by the caller.
#pragma once
#include <QString>
#include <functional>

struct App;
class QWidget;

namespace callers {
enum Code {
    Bdxc = 21,
    Own = 22,
    Ilg2Rx = 23,
    Log = 31,
    Tracking = 32,
    Mem = 41,
    Spectrum = 51,
    Proptime = 52,
};
} // namespace callers

// What each caller code stands for.
struct FileKind {
    int code = 0;
    QString subdir;       // "BDXC", "OWN", "Rx2Db", "LOG", "MEM", "SAN", "PAN"
    QString saveTemplate; // "mem_xyzxyzxyzxyz.txt"; empty when the kind is never saved
    QString prefix;       // "MEM_"
    QString errorText;    // the refusal message (lines separated by "\n")
    QString errorTitle;
};
// nullptr for an unknown code.
const FileKind *fileKind(int code);
// The current file name of the kind (a field of App::files).
QString *currentFileOf(App &app, int code);
// The naming rule of selsave: not empty, prefix and ".TXT" without regard to
// case, the last "." at character position 17 or earlier.
bool saveNameAccepted(const QString &name, const QString &prefix);

// Shows selsave modally for `code`: sets app.caller_code and app.save_dir; on
// an accepted name stores it (as typed) as the current file name of the kind
// and calls save(); a refused name shows the kind's message.
void run_selsave(App &app, int code, const std::function<void()> &save,
                 QWidget *parent = nullptr);

// Shows selfile modally for `code` on base_dir + subdir with `pattern`
// ("MEM_*.TXT", several patterns separated by ";"), first file selected.
// On OK with a selection: stores it as the current file name of the kind and
// calls load() (for the memory kind only after the "Load Memory File"
// question is answered Yes).
void run_selfile(App &app, int code, const QString &pattern, const std::function<void()> &load,
                 QWidget *parent = nullptr);
