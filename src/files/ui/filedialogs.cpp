#include "files/ui/filedialogs.h"

#include "common/ui/busy.h"
#include "common/ui/buttons.h"
#include "link/app.h"
#include "logbook/logging2.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kTxt = QStringLiteral(".TXT");

QString lines(std::initializer_list<const char *> l)
{
    QStringList out;
    for (const char *s : l)
        out << QString::fromLatin1(s);
    return out.join(QLatin1Char('\n'));
}

const QList<FileKind> &kinds()
{
    static const QList<FileKind> k = {
        {callers::Bdxc, QStringLiteral("BDXC"), {}, {}, {}, {}},
        {callers::Own, QStringLiteral("OWN"), {}, {}, {}, {}},
        {callers::Ilg2Rx, QStringLiteral("Rx2Db"), {}, {}, {}, {}},
        {callers::Log, QStringLiteral("LOG"), QStringLiteral("log_xyzxyxxyzxyz.txt"),
         QStringLiteral("LOG_"),
         lines({"Something went wrong in saving", "your loggings to a file ! ! !",
                "PLEASE TRY AGAIN"}),
         QStringLiteral("Error")},
        {callers::Tracking, QStringLiteral("Rx2Db"), {}, {}, {}, {}},
        {callers::Mem, QStringLiteral("MEM"), QStringLiteral("mem_xyzxyzxyzxyz.txt"),
         QStringLiteral("MEM_"),
         lines({"Something went wrong in saving the", "data in the MemMan Window to a file ! ! !",
                "PLEASE TRY AGAIN"}),
         QStringLiteral("File Save Error")},
        {callers::Spectrum, QStringLiteral("SAN"), QStringLiteral("san_xyzxyzxyzxyz.txt"),
         QStringLiteral("SAN_"),
         lines({"Something went wrong in saving", "the Spectrum data to a file ! ! !",
                "PLEASE TRY AGAIN"}),
         QStringLiteral("Error")},
        {callers::Proptime, QStringLiteral("PAN"), QStringLiteral("pan_xyzxyzxyzxyz.txt"),
         QStringLiteral("PAN_"),
         lines({"Something went wrong in saving", "the Propagation data to a file ! ! !",
                "PLEASE TRY AGAIN"}),
         QStringLiteral("Error")},
    };
    return k;
}

// In the demo: a line that says the folder is the demo's, not the user's own.
void addDemoNote(QVBoxLayout *lay, const App &app, int code, QWidget *parent)
{
    if (app.demo_dir.isEmpty())
        return;
    auto *note = new QLabel(QStringLiteral("Demo folder: %1")
                                .arg(QDir::toNativeSeparators(filedialogs::dirOf(app, code))),
                            parent);
    note->setObjectName(QStringLiteral("lbl_demo"));
    note->setAccessibleDescription(QStringLiteral("Where these files are"));
    note->setTextFormat(Qt::PlainText);
    note->setWordWrap(true);
    lay->insertWidget(0, note);
}

} // namespace

const FileKind *fileKind(int code)
{
    for (const FileKind &k : kinds())
        if (k.code == code)
            return &k;
    return nullptr;
}

QString *currentFileOf(App &app, int code)
{
    switch (code) {
    case callers::Bdxc: return &app.files.bdxc;
    case callers::Own: return &app.files.own;
    case callers::Ilg2Rx: return &app.files.converted;
    case callers::Log: return &app.files.log;
    case callers::Tracking: return &app.files.tracking;
    case callers::Mem: return &app.files.mem;
    case callers::Spectrum: return &app.files.san;
    case callers::Proptime: return &app.files.pan;
    default: return nullptr;
    }
}

bool saveNameAccepted(const QString &name, const QString &prefix)
{
    if (name.isEmpty() || prefix.isEmpty())
        return false;
    if (name.left(prefix.size()).compare(prefix, Qt::CaseInsensitive) != 0)
        return false;
    if (!name.endsWith(kTxt, Qt::CaseInsensitive))
        return false;
    // Position (1-based) of the last point: at most 17, so at most twelve
    // characters between the prefix and ".TXT".
    if (name.lastIndexOf(QLatin1Char('.')) + 1 > 17)
        return false;
    // A name is a name in the kind's folder, never a path elsewhere.
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return false;
    return true;
}

namespace filedialogs {

QString dirOf(const App &app, int code)
{
    const FileKind *k = fileKind(code);
    return k ? app.settings.sub(k->subdir) : app.settings.base_dir;
}

bool listFiles(const QString &dir, const QString &patterns, QStringList *names, QString *error)
{
    names->clear();
    const QFileInfo fi(QDir::cleanPath(dir)); // "x/" of a plain file x exists too
    QString reason;
    if (!fi.exists())
        return true; // nothing saved there yet
    if (!fi.isDir())
        reason = QStringLiteral("it is not a folder");
    else if (!fi.isReadable() || !fi.isExecutable())
        reason = QStringLiteral("permission denied");
    if (!reason.isEmpty()) {
        if (error)
            *error = QStringLiteral("The folder %1 could not be read: %2.")
                         .arg(QDir::toNativeSeparators(dir), reason);
        return false;
    }
    QDir d(dir);
    QStringList filters;
    for (const QString &p : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        filters << p.trimmed();
    if (filters.isEmpty())
        filters << QStringLiteral("*");
    d.setNameFilters(filters); // QDir::CaseSensitive not set: case-insensitive
    *names = d.entryList(QDir::Files | QDir::Readable | QDir::Hidden,
                         QDir::Name | QDir::IgnoreCase);
    return true;
}

} // namespace filedialogs

// ---------------------------------------------------------------------------
// selsave

selsave::selsave(App &app, int code, const QStringList &names, std::function<void()> save,
                 QWidget *parent)
    : QDialog(parent), app_(app), code_(code), save_(std::move(save))
{
    setObjectName(QStringLiteral("selsave"));
    setWindowTitle(QStringLiteral("Select save filename"));

    auto *label = new QLabel(QStringLiteral("File &name:"), this);
    Cmb_Save = new QComboBox(this);
    Cmb_Save->setObjectName(QStringLiteral("Cmb_Save"));
    Cmb_Save->setEditable(true);
    Cmb_Save->setInsertPolicy(QComboBox::NoInsert);
    Cmb_Save->setMinimumWidth(260);
    Cmb_Save->setAccessibleName(QStringLiteral("File name"));
    label->setBuddy(Cmb_Save);
    Cmb_Save->addItems(names);
    const FileKind *k = fileKind(code);
    Cmb_Save->setEditText(k ? k->saveTemplate : QString());
    Cmb_Save->lineEdit()->installEventFilter(this);
    Cmb_Save->lineEdit()->selectAll();

    cmd_OK = kit::button(this, QStringLiteral("cmd_OK"), QStringLiteral("OK"));
    cmd_cancel = kit::button(this, QStringLiteral("cmd_cancel"), QStringLiteral("Cancel"));
    cmd_OK->setDefault(true);
    connect(cmd_OK, &QPushButton::clicked, this, &selsave::on_OK);
    connect(cmd_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmd_OK);
    buttons->addWidget(cmd_cancel);
    auto *lay = new QVBoxLayout(this);
    lay->addWidget(label);
    lay->addWidget(Cmb_Save);
    lay->addLayout(buttons);
    addDemoNote(lay, app_, code_, this);
    setTabOrder(Cmb_Save, cmd_OK);
    setTabOrder(cmd_OK, cmd_cancel);
}

bool selsave::eventFilter(QObject *o, QEvent *e)
{
    if (o == Cmb_Save->lineEdit() && e->type() == QEvent::MouseButtonDblClick) {
        on_OK();
        return true;
    }
    return QDialog::eventFilter(o, e);
}

void selsave::on_OK()
{
    saved_ = false;
    const FileKind *k = fileKind(code_);
    // A log's name gets the prefix and ".TXT" it lacks ("mylog" is saved
    // as LOG_mylog.TXT).
    const bool log = code_ == callers::Log;
    const QString name = log ? logging2::logFileName(Cmb_Save->currentText()) : Cmb_Save->currentText();
    if (!k || k->prefix.isEmpty()) {
        reject();
        return;
    }
    if (!saveNameAccepted(name, k->prefix)) {
        // The refusal is shown over the dialog with the refused name; the
        // dialog then closes and the user starts again from the window. A
        // log's dialog says the rule first and stays open for another try.
        QPointer<selsave> self(this);
        if (log)
            app_.prompter->message(logging2::logNameRule(Cmb_Save->currentText()),
                                   QStringLiteral("Log file name"), Prompter::Information);
        app_.prompter->message(k->errorText, k->errorTitle, Prompter::Exclamation);
        if (self && log) {
            Cmb_Save->setFocus();
            Cmb_Save->lineEdit()->selectAll();
        } else if (self) {
            accept();
        }
        return;
    }
    // Close first, as the dialog unloads before the routine runs its own
    // messages and waits.
    accept();
    if (QString *cur = currentFileOf(app_, code_))
        *cur = name;
    saved_ = true;
    if (save_)
        save_();
}

// ---------------------------------------------------------------------------
// selfile

selfile::selfile(App &app, int code, const QStringList &names, std::function<void()> load,
                 QWidget *parent)
    : QDialog(parent), app_(app), code_(code), load_(std::move(load))
{
    setObjectName(QStringLiteral("selfile"));
    setWindowTitle(QStringLiteral("Select file to load"));

    auto *label = new QLabel(QStringLiteral("&Files:"), this);
    List = new QListWidget(this);
    List->setObjectName(QStringLiteral("List"));
    List->setAccessibleName(QStringLiteral("Files"));
    List->setSelectionMode(QAbstractItemView::SingleSelection);
    List->setMinimumSize(260, 200);
    label->setBuddy(List);
    List->addItems(names);
    if (List->count() > 0)
        List->setCurrentRow(0);

    cmd_OK = kit::button(this, QStringLiteral("cmd_OK"), QStringLiteral("OK"));
    cmd_Cancel = kit::button(this, QStringLiteral("cmd_Cancel"), QStringLiteral("Cancel"));
    cmd_Edit = kit::button(this, QStringLiteral("cmd_Edit"), QStringLiteral("Edit"));
    cmd_OK->setDefault(true);
    const bool editor = app_.settings.editorEnabled();
    cmd_Edit->setEnabled(editor);
    cmd_Edit->setVisible(editor);
    connect(cmd_OK, &QPushButton::clicked, this, &selfile::on_OK);
    connect(cmd_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmd_Edit, &QPushButton::clicked, this, &selfile::on_Edit);
    connect(List, &QListWidget::itemDoubleClicked, this, [this] { on_OK(); });

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmd_Edit);
    buttons->addStretch();
    buttons->addWidget(cmd_OK);
    buttons->addWidget(cmd_Cancel);
    auto *lay = new QVBoxLayout(this);
    lay->addWidget(label);
    lay->addWidget(List);
    lay->addLayout(buttons);
    addDemoNote(lay, app_, code_, this);
    setTabOrder(List, cmd_OK);
    setTabOrder(cmd_OK, cmd_Cancel);
    setTabOrder(cmd_Cancel, cmd_Edit);
    List->setFocus();
}

QString selfile::selection() const
{
    const QList<QListWidgetItem *> sel = List->selectedItems();
    return sel.isEmpty() ? QString() : sel.first()->text();
}

void selfile::on_OK()
{
    loaded_ = false;
    const QString name = selection();
    accept();
    if (name.isEmpty())
        return;
    if (code_ == callers::Mem) {
        const Prompter::Answer a = app_.prompter->message(
            QStringLiteral("Are sure you want to load the file\n%1 in the MemMan Window\n"
                           "and overwrite possible current data")
                .arg(name),
            QStringLiteral("Load Memory File"), Prompter::Question, Prompter::YesNoCancel);
        if (a != Prompter::AnsYes)
            return;
    }
    if (QString *cur = currentFileOf(app_, code_))
        *cur = name;
    loaded_ = true;
    if (load_)
        load_();
}

void selfile::on_Edit()
{
    const QString name = selection();
    if (name.isEmpty())
        return;
    const QString path = filedialogs::dirOf(app_, code_) + name;
    QString error;
    if (!app_.launcher || !app_.launcher->openFile(path, &error)) {
        app_.prompter->message(QStringLiteral("The text editor could not be started for\n%1\n%2")
                                   .arg(QDir::toNativeSeparators(path),
                                        error.isEmpty() ? QStringLiteral("No editor is available.")
                                                        : error),
                               QStringLiteral("Edit"), Prompter::Exclamation);
    }
}

// ---------------------------------------------------------------------------

void run_selsave(App &app, int code, const std::function<void()> &save, QWidget *parent)
{
    const FileKind *k = fileKind(code);
    if (!k || k->prefix.isEmpty())
        return;
    app.caller_code = code;
    app.save_dir = filedialogs::dirOf(app, code);
    QStringList names;
    QString error;
    {
        BusyGuard busy;
        // A folder that is not there yet holds no names; the save routine
        // creates it.
        if (!filedialogs::listFiles(app.save_dir, QStringLiteral("*"), &names, &error)) {
            busy.release();
            app.prompter->message(error, QStringLiteral("Select save filename"),
                                  Prompter::Exclamation);
            return;
        }
    }
    selsave dlg(app, code, names, save, parent);
    dlg.exec();
}

void run_selfile(App &app, int code, const QString &pattern, const std::function<void()> &load,
                 QWidget *parent)
{
    if (!fileKind(code))
        return;
    app.caller_code = code;
    app.save_dir = filedialogs::dirOf(app, code);
    QStringList names;
    QString error;
    {
        BusyGuard busy;
        if (!filedialogs::listFiles(app.save_dir, pattern, &names, &error)) {
            busy.release();
            app.prompter->message(error, QStringLiteral("Select file to load"),
                                  Prompter::Exclamation);
            return;
        }
    }
    selfile dlg(app, code, names, load, parent);
    dlg.exec();
}
