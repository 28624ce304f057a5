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

// ---------------------------------------------------------------------------
// The dialogs themselves. run_selsave / run_selfile build them and exec();
// tests build them directly and drive OK / Cancel / Edit through the
// buttons or the on_* handlers, without a modal loop.

#include <QDialog>
#include <QStringList>

class QComboBox;
class QListWidget;
class QPushButton;

namespace filedialogs {
// The file names in dir matching the patterns ("BDX*TOE.TXT;ADX*TOW.TXT"),
// case-insensitive, sorted by name. A folder that is not there (yet) holds no
// files: an empty list. False with a message naming the directory and the
// reason when it cannot be read (not a folder, no permission).
bool listFiles(const QString &dir, const QString &patterns, QStringList *names,
               QString *error);
// The directory of a kind: base_dir + subdir + separator.
QString dirOf(const App &app, int code);
} // namespace filedialogs

// "Select save filename".
class selsave : public QDialog {
    Q_OBJECT
public:
    // Fills Cmb_Save with the template of the kind and the given names.
    selsave(App &app, int code, const QStringList &names, std::function<void()> save,
            QWidget *parent = nullptr);

    QComboBox *Cmb_Save = nullptr;
    QPushButton *cmd_OK = nullptr;
    QPushButton *cmd_cancel = nullptr;

    // OK (also double-click on Cmb_Save): checks the name, stores it and
    // calls the save routine, or shows the refusal; closes the dialog.
    void on_OK();
    // Whether the last OK called the save routine.
    bool saved() const { return saved_; }

protected:
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    App &app_;
    int code_;
    std::function<void()> save_;
    bool saved_ = false;
};

// "Select file to load".
class selfile : public QDialog {
    Q_OBJECT
public:
    // Lists the names (already filtered), the first one selected.
    selfile(App &app, int code, const QStringList &names, std::function<void()> load,
            QWidget *parent = nullptr);

    QListWidget *List = nullptr;
    QPushButton *cmd_OK = nullptr;
    QPushButton *cmd_Cancel = nullptr;
    QPushButton *cmd_Edit = nullptr;

    // The current selection (empty when nothing is selected).
    QString selection() const;
    // OK (also double-click on an entry): closes the dialog; with a selection
    // stores it as the kind's current file and calls the load routine (the
    // memory kind asks first).
    void on_OK();
    // Edit: opens the selected file in the text editor; a failure is told.
    void on_Edit();
    // Whether the last OK called the load routine.
    bool loaded() const { return loaded_; }

private:
    App &app_;
    int code_;
    std::function<void()> load_;
    bool loaded_ = false;
};
