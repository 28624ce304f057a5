// The set-up dialog: edits the settings in memory; Save writes the settings
// file, Reset reads it back.
#pragma once
#include "link/serialport.h"

#include <QDialog>
#include <memory>

struct App;
#include "settings/settings.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTemporaryDir;
class QTimer;
class Recorder;
class QRadioButton;

class setup : public QDialog {
    Q_OBJECT
public:
    explicit setup(App &app, QWidget *parent = nullptr);

    // Fills every control from the settings in memory (the load step).
    void fill();

    // Runs the check of one text field as when it loses the focus: stores
    // the value, and on failure puts the default text back, shows the
    // message and returns the focus to the field. Returns true when valid.
    bool checkField(QLineEdit *field);

    // The serial ports offered besides COM 1-4 (the system's ports; tests
    // hand in their own).
    void setSystemPorts(const QList<SerialPort::Available> &ports);
    // Recording: lists the sound server's inputs in the source box
    // ("default" first; the chosen one kept when the server does not list
    // it); the "Test input" button shows the input's level for a few seconds.
    void fillSources();
    void testInput();
    ~setup() override;

public slots:
    void reset();   // cmd_reset
    void ok();      // cmd_OK (and Escape / closing by the frame)
    void save();    // cmd_Save

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void reject() override;

private:
    // Checks the field that has the focus (keyboard OK / Save / Escape do not
    // move the focus away first).
    bool commitFocused();
    QLineEdit *makeField(const QString &name, const QString &label);
    // A server's "on TCP port" check box and port box, stored in
    // settings.*port (0 while unchecked).
    struct PortRow {
        const char *checkName, *spinName;
        QString caption, spinLabel, tip;
        int defaultPort;
        int Settings::*port;
    };
    void portRow(QWidget *box, const PortRow &row, QCheckBox **check, class QSpinBox **spin);

    App &app_;
    void fillDevice();
    void chooseDevice(int index);
    void clearPortButtons();

    QButtonGroup *ports_ = nullptr;
    QComboBox *device_ = nullptr;
    QButtonGroup *areas_ = nullptr;
    QCheckBox *prop_[4] = {};
    QCheckBox *nrd_[4] = {};
    QLineEdit *td_ = nullptr, *dir_ = nullptr, *lat_ = nullptr, *long_ = nullptr;
    QLineEdit *dim_[4] = {};
    QCheckBox *rigctl_ = nullptr;
    class QSpinBox *rigctlPort_ = nullptr;
    QLineEdit *listen_ = nullptr, *trust_ = nullptr, *allow_ = nullptr;
    QLineEdit *password_ = nullptr, *readonly_ = nullptr; // emptied as soon as hashed
    QPushButton *clearPasswords_ = nullptr;
    void fillPasswords();
    bool checkNetField(QLineEdit *field);
    QCheckBox *web_ = nullptr;
    class QSpinBox *webPort_ = nullptr;
    QCheckBox *followDial_ = nullptr;
    QCheckBox *lineTrace_ = nullptr;
    QCheckBox *panelMeter_ = nullptr;
    QCheckBox *highContrast_ = nullptr;
    // Schedule update: the base address and the weekly check.
    QLineEdit *skedBase_ = nullptr;
    QCheckBox *skedWeekly_ = nullptr;
    bool checkSkedBase();
    QComboBox *recSource_ = nullptr, *recFormat_ = nullptr;
    QPushButton *recTest_ = nullptr;
    QProgressBar *recLevel_ = nullptr;
    QLabel *recNote_ = nullptr;
    std::unique_ptr<Recorder> probe_;
    std::unique_ptr<QTemporaryDir> probeDir_;
    QTimer *probeTick_ = nullptr;
    float probePeak_ = 0;
    void probeEnded(const QString &reason);
    bool filling_ = false;
    bool checking_ = false;
    bool busy_ = false;
};
