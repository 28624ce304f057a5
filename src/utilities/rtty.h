// The RTTY page: the text the receiver's demodulator sends after "X1",
// broken into screen lines, lower-cased, with control characters removed;
// the save file NEWS/NEW_RYWW.TXT; and the receive loop that shares the line
// with the program's other readers.
//
// Sharing the line: the loop never holds a sequence of its own across a
// wait, so the panel, the S-meter and the memory manager keep working while
// RTTY text comes in. It takes characters from the port only while no other
// sequence runs, so it never eats another reader's reply. When another
// sequence starts, the text output is paused with "X0" inside that
// sequence's remote bracket (the characters still on their way are taken for
// the page first), so no RTTY character lands in the other's reply; once the
// line has been quiet for a moment the loop switches the text back on with
// "X1". Text the demodulator decodes during the pause is not seen.
#pragma once
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

struct App;

namespace ry {

inline constexpr int kLines = 19;   // lines on the page; the last one is being received
inline constexpr int kBreakAt = 71; // a line this long (or longer) is complete

// The page and the line being received.
class Page {
public:
    Page();
    // Feeds one chunk of received characters; returns the lines it
    // completed, in order. A CR ends the line (anywhere in the chunk; a
    // chunk that starts with one ends the line even when it is empty);
    // other control characters, DEL and the C1 range are dropped; letters
    // are lower-cased. A line is complete once it has kBreakAt characters or
    // more; a chunk is taken kBreakAt characters at a time, so one long
    // burst without CR still gives screen-sized lines.
    QStringList feed(const QByteArray &chunk);
    // The 19 lines, top to bottom (line 18 = current()).
    const QStringList &lines() const { return lines_; }
    const QString &current() const { return current_; }
    void clear();
    // Empties the line being received (on screen too); the lines above stay.
    void clearCurrent();

private:
    void append(const QString &text, QStringList *done);
    void endLine(QStringList *done);

    QStringList lines_;
    QString current_;
};

// Appending completed lines to base_dir + "NEWS/NEW_RYWW.TXT".
class SaveFile {
public:
    explicit SaveFile(QString path) : path_(std::move(path)) {}
    const QString &path() const { return path_; }
    // Checks that the file can be opened for appending (creating it);
    // false with the reason otherwise.
    bool open(QString *error);
    // Appends one line with CR LF; false with the reason otherwise.
    bool append(const QString &line, QString *error);
    bool isOpen() const { return open_; }
    void close() { open_ = false; }

private:
    QString path_;
    bool open_ = false;
};

QString savePath(const App &app);

// The receive loop (Start .. Stop/Exit), event driven on the user-interface
// thread; see the top of this file for how it shares the line.
class Receiver : public QObject {
    Q_OBJECT
public:
    explicit Receiver(App &app, QObject *parent = nullptr);
    ~Receiver() override;

    // Sends the demodulator parameters: "U3" + speed code, shift, polarity.
    void sendParams(int speedIndex, int shiftIndex, int polarity);
    // Start: "X1" in a bracket, then reads what arrives.
    void start();
    // Stop: stops reading; nothing is sent.
    void stop();
    // Exit: stops, closes the file and sends "X0".
    void exit();
    bool running() const { return running_; }
    bool paused() const { return paused_; }

    // Save On: opens the file; on failure says so once (through the
    // prompter) and stays off. Save Off closes it.
    bool setSave(bool on);
    bool saving() const { return file_.isOpen(); }

    Page &page() { return page_; }

    // Milliseconds of quiet line before the text is switched on again.
    int resumeDelayMs = 300;

signals:
    void pageChanged();
    // Save was switched off because the file could not be written.
    void saveStopped();

private:
    void readChunk();
    void take(const QByteArray &chunk);
    void pauseForOther();
    void resumeIfQuiet();
    void saveFailed(const QString &error);

    App &app_;
    Page page_;
    SaveFile file_;
    bool running_ = false;
    bool paused_ = false;
    QTimer poll_;
    QTimer resume_;
};

} // namespace ry
