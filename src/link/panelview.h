// What the link and the other windows change on the control panel. The
// control panel window implements it; core code and tests can run without it.
#pragma once
#include <QString>

class PanelView {
public:
    enum Label { HF, BW, MD, AGC, NB };
    virtual ~PanelView() = default;

    virtual void setLabel(Label which, const QString &text) = 0;
    // lbl_vbt: " On" on the light background, or "Off" on orange.
    virtual void showVbt(bool on) = 0;
    // lbl_lock: " On" on orange, or " Off" on the light background.
    virtual void showLock(bool on) = 0;
    // vsc_bwc: enable with its range (value at the minimum end, at the maximum
    // end) and value; lbl_bwc shows the value. Setting the value fires the
    // scroll bar's change handler as a user's move would.
    virtual void enableBwc(int minEnd, int maxEnd, int value) = 0;
    // vsc_pbs: enable and set the value; lbl_pbs shows labelText.
    virtual void enablePbs(int value, const QString &labelText) = 0;
    // Disable vsc_bwc / vsc_pbs and clear their labels.
    virtual void clearBwc() = 0;
    virtual void clearPbs() = 0;
    // NFM: grd_agc disabled, lbl_agc empty; fra_bw and grd_bw disabled, lbl_bw empty.
    virtual void setAgcEnabled(bool on) = 0;
    virtual void setBwFrameEnabled(bool on) = 0;
    // txt_freqa.
    virtual void setFreqText(const QString &s) = 0;
    // Show the control panel and bring it to the front.
    virtual void bringToFront() = 0;
    // Enable or disable the whole panel (measuring windows, the event timer).
    virtual void setPanelEnabled(bool on) = 0;
};
