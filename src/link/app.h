// The program-wide state and seams, created once in main (or a test) and
// handed to every window.
#pragma once
#include "common/seams.h"
#include "common/timetext.h"
#include "link/captions.h"
#include "link/fanout.h"
#include "link/limits.h"
#include "link/rxstate.h"
#include "settings/settings.h"

#include <QString>

class Port;
class PanelView;
class Receiver2;
class RecSession;

// Current file name of each kind, as chosen in the file dialogs.
struct CurrentFiles {
    QString bdxc, own, converted, tracking, mem, log, pan, san;
};

struct App {
    Settings settings;
    QString settingsPath; // where the settings were read at start

    Clock *clock = nullptr;
    Prompter *prompter = nullptr;
    Launcher *launcher = nullptr;
    Port *port = nullptr;
    Receiver2 *rx = nullptr;     // the link (module receiver2)
    PanelView *panel = nullptr;  // the control panel, once loaded
    RecSession *rec = nullptr;   // recordings; none: recording is not offered

    RxState rxs;
    Captions cap = Captions::build(false, false);
    TimeTexts times;       // written by the clock line only
    CurrentFiles files;
    int caller_code = 0;   // set by a window before it opens a file dialog
    QString save_dir;      // directory of the kind being saved or loaded
    QString demo_dir;      // the demo's own base directory (--demo); empty otherwise

    // The user guide (Markdown, with its pictures beside it) and the
    // word-processor copy that "See Docs" places in a base directory without one.
    QString guide_file;
    QString guide_doc;

    // Reply waits are bounded by this many milliseconds.
    int replyTimeoutMs = rxlimits::kReplyTimeoutMs;
};
