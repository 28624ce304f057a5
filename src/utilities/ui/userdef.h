// The user definitions window "NRD-535 User Definitions": the receiver's
// preferences, each sent when chosen, and Reset to Defaults.
#pragma once
#include <QAbstractSpinBox>
#include <QDialog>
#include <QList>

struct App;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

// The CW BFO pitch spin button: arrows only, each step reported.
class PitchSpin : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit PitchSpin(QWidget *parent = nullptr);
    void stepBy(int steps) override;

signals:
    void stepped(int dir);

protected:
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }
};

class UserDef : public QDialog {
    Q_OBJECT
public:
    explicit UserDef(App &app, QWidget *parent = nullptr);

    // Option buttons of each group (udefs::groups() order).
    QList<QList<QRadioButton *>> opt;
    QList<QGroupBox *> fra_ud; // frames 0..6 in caption order
    PitchSpin *spn_Cpb = nullptr;
    QLabel *lbl_Cbp = nullptr;
    QPushButton *pan_OK = nullptr;
    QPushButton *cmd_OK = nullptr;
    QPushButton *cmd_def = nullptr;

    int pitch() const { return pitch_; }
    const QString &pendingPitch() const { return pending_; }

    void on_def();

private:
    void optionSelected(int group, int index);
    void onPitchStep(int dir);
    void onPanOk();

    App &app_;
    QList<QButtonGroup *> groups_;
    int pitch_;
    QString pending_;
};
