// The memory table (module mem2): a working copy of the receiver's 200
// memory channels with one alpha tag each, the memory file, the row texts of
// the memory grid, the sort on frequency, the print lines and the scan range.
//
// Core only (no widgets): the memory manager window turns clicks into these
// calls and shows the results.
#pragma once
#include <QString>
#include <QStringList>
#include <QList>
#include <array>
#include <cstdint>
#include <functional>

struct Captions;
struct Settings;

namespace mem2 {

inline constexpr int kChannels = 200; // channels 0 to 199
inline constexpr int kSlots = 201;    // indices 0 to 200
inline constexpr int kMaxTag = 50;    // longest alpha tag kept from a file
inline constexpr int kRecLen = 16;    // "L" ccc att bw mode hz8 agc
// The copy of the receiver's memory kept after every complete fetch, in the
// memory directory (a name the save dialog accepts, so Load finds it).
inline constexpr const char *kBackupName = "MEM_RXBACKUP.TXT";

// Columns of the memory grid.
enum Column { ColNr, ColFreq, ColAtt, ColBw, ColMode, ColAgc, ColTag, ColCount };

struct MemTable {
    // mem_rec: "L" + ccc + rec12 (16 characters), "L" + ccc + "V" for an
    // empty receiver channel, "" for a record that was never filled.
    std::array<QString, kSlots> rec;
    // mem_tag: free text per channel; lives only on the PC.
    std::array<QString, kSlots> tag;
    // Channels whose contents are not known: a fetch could not read them,
    // or their record does not fit the layout. Their record text stays as it
    // came (empty when nothing came); a fill never writes them.
    std::array<bool, kSlots> unknown{};
    // mem_row: the grid row last clicked (0 to 200).
    int16_t mem_row = 0;
    // What each receiver channel is known to hold, as rxContent() gives it;
    // empty when not known. A fetch and a fill (and a single cell sent to
    // the receiver) set it; the rows may leave it behind through a file
    // load, an edit or a sort. It is about the receiver, so clearing the
    // rows keeps it.
    std::array<QString, kChannels> inRx;
    // Where the records came from: the last fetch, or the memory file
    // fromFile. Clearing the records forgets it.
    enum class From { Nothing, Fetch, File };
    From from = From::Nothing;
    QString fromFile;

    // Every record and tag back to the empty text, nothing unknown, from
    // nothing (mem_row and inRx stay).
    void clear();
    // Channels 0-199 whose record is not the empty text.
    int filledCount() const;
    // Channels 0-199 marked unknown, in order.
    QList<int> unknownChannels() const;
};

// The process-wide table: it outlives the memory manager window.
MemTable &table();

// --- records --------------------------------------------------------------

// Position 5 holds "V": an empty receiver channel.
bool isEmptyChannel(const QString &rec);
// "L" + ccc + "V" for channel ch.
QString emptyRecord(int ch);
// The channel as three digits (index + 1000, last three digits).
QString ch3(int ch);
// The frequency digits (positions 8-15) in Hz; only the leading digits
// count, anything missing or not a digit ends the number (0 when none).
long long recordHz(const QString &rec);
// recordHz / 1000.
double recordKhz(const QString &rec);
// The code at a 1-based record position (5 ATT, 6 BW, 7 mode, 16 AGC):
// a missing character reads as 0, a non-digit as -1.
int codeAt(const QString &rec, int pos1);

// What a record holds, checked against its layout: "L", three channel
// digits, ATT, BW and mode digits, eight frequency digits, AGC digit, each
// code within the range a memory record may hold; "L" + ccc + "V" (or the
// lone "V" of a never-filled record that was deleted) for an empty channel;
// the empty text for a record never filled. Anything else is Bad.
enum class RecKind { NeverFilled, Empty, Data, Bad };
RecKind recordKind(const QString &rec);
// A record's contents whatever channel it carries: the 12 characters of a
// data record, "V" for an empty channel, "" for anything else.
QString rxContent(const QString &rec);
// Whether grid row ch shows what the receiver's channel ch holds.
enum class RxMatch { Same, Differs, Unknown };
RxMatch rxMatch(const MemTable &t, int ch);
// Channels as a short list: "003, 010-012, 050-199".
QString channelList(const QList<int> &channels);

// --- grid rows --------------------------------------------------------------

// The frequency cell: kHz with a leading blank and no trailing zeros
// (" 9500", " 15110.5").
QString freqCell(const QString &rec);
// The code text of one field; a code outside its table (or a non-digit)
// gives the empty text, never an index past the table.
QString attText(const Captions &cap, const QString &rec);
QString bwText(const Captions &cap, const QString &rec);
QString modeText(const Captions &cap, const QString &rec);
QString agcText(const Captions &cap, const QString &rec);
// The cells of channel ch's row: ccc, "no data" for an empty channel, ccc,
// "unknown" for a reply that could not be read ("?" and what came);
// otherwise ccc, frequency, ATT, BW, mode, AGC and (withTag) the alpha tag.
QStringList rowCells(const Captions &cap, int ch, const QString &rec, const QString &tag,
                     bool withTag);
// The same joined with TAB.
QString rowText(const Captions &cap, int ch, const QString &rec, const QString &tag,
                bool withTag);
// lbl_freq of a record: kHz as "00000.000".
QString selFreqText(const QString &rec);

// --- the memory file --------------------------------------------------------

// The memory directory: base_dir + "MEM/".
QString memDir(const Settings &s);

// Splits one file line into record and tag: spaces trimmed at both ends, the
// record is the first 16 characters, the tag the text from character 18 on,
// at most 50 characters.
void parseLine(const QString &line, QString *rec, QString *tag);
// The file's 200 lines: record, one space, tag (tags of records shorter than
// 10 characters are dropped from the table first).
QStringList fileLines(MemTable &t);

// Reads the file into t (at most 200 lines; a short file leaves the rest
// empty). When the file cannot be read, returns false with a message naming
// the file and the reason and leaves t unchanged. *lines gets the count read.
// Records that do not fit the layout are kept as text but marked unknown;
// *bad gets their channels. *extra gets the number of lines past the 200th
// (not loaded: a save over this file would lose them).
bool readMemFile(const QString &path, MemTable &t, int *lines, QString *error,
                 QList<int> *bad = nullptr, int *extra = nullptr);
// The message for records that do not fit the layout: how many, and which
// (channels with their text); empty when there are none.
QString badRecordsText(const MemTable &t, const QList<int> &bad);
// The list under such a message: head, the first few channels with what
// they hold (held(channel), quoted), the rest by number, and that they are
// kept as unknown.
QString keptAsUnknownText(const QString &head, const QList<int> &channels,
                          const std::function<QString(int)> &held);
// Writes t as a memory file, atomically. On failure the old file stays and
// *error names the file and the reason.
bool writeMemFile(const QString &path, MemTable &t, QString *error);

// --- operations -------------------------------------------------------------

// Sort channels 0-199 on the text from character 8 (frequency digits and AGC
// digit), tags moving with their records. The empty channels (records
// shorter than 6 characters, wherever they sort) go to the end as "L" + ccc
// + "V" with no tag; unknown channels stay unknown, after the data.
void sortByFreq(MemTable &t);

// "From" / "To" as used by Fill, Print and Scan: lenient numbers rounded to
// integers; valid when the first is 0-198 and the second 0-199.
bool readRange(const QString &from, const QString &to, int *first, int *second);
// "Delay" in seconds, valid from 0.1 to 10.
bool readDelay(const QString &text, double *seconds);

// The printed page: two empty lines, the file name in capitals and five
// spaces, two empty lines, then one line per channel from first to second
// (wrapping past 199 to 0 when first > second).
QStringList printLines(const Captions &cap, const MemTable &t, const QString &fileName,
                       int first, int second);
// One channel's print line.
QString printLine(const Captions &cap, int ch, const QString &rec, const QString &tag);
// The channels printed for a range, in order.
QList<int> printRange(int first, int second);

// The scan's walk over a range of channels, wrapping past 199 when the last
// channel is below the first.
struct ScanRange {
    int first = 0;
    int last = 199;
    int offset = 0;
    bool wrap = false;

    void start(int f, int l);
    // The channel of this tick; advances, back to the first after the last.
    int next();
};

} // namespace mem2
