#include "link/receiver2.h"

#include "common/fmt.h"
#include "link/app.h"
#include "link/commands.h"
#include "link/panelview.h"
#include "link/port.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

DecodedState DecodedState::decode(const QString &x13)
{
    DecodedState d;
    auto digitAt = [&](int pos1) -> int {
        if (pos1 - 1 >= x13.size())
            return -1;
        const QChar c = x13.at(pos1 - 1);
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ? c.unicode() - '0' : -1;
    };
    d.att = digitAt(2);
    d.bw = digitAt(3);
    d.mode = digitAt(4);
    d.agc = digitAt(13);
    if (x13.size() >= 12) {
        const QString hz = x13.mid(4, 8);
        bool all = true;
        for (QChar c : hz)
            all = all && c >= QLatin1Char('0') && c <= QLatin1Char('9');
        if (all) {
            d.freqValid = true;
            d.khz = hz.toLongLong() / 1000.0;
        }
    }
    return d;
}

Receiver2::Receiver2(App &app, QObject *parent) : QObject(parent), app_(app)
{
    app_.rx = this;
}

void Receiver2::setPort(Port *port)
{
    if (port_)
        disconnect(port_, nullptr, this, nullptr);
    port_ = port;
    app_.port = port;
    lost_ = false;
    lostReported_ = false;
    if (port_) {
        connect(port_, &Port::readyRead, this, &Receiver2::on_ready_read);
        connect(port_, &Port::lost, this, &Receiver2::on_lost);
    }
}

void Receiver2::send_cmd(const QString &text)
{
    send_raw(text.toLatin1() + '\r');
}

void Receiver2::send_raw(const QByteArray &bytes)
{
    if (!port_ || lost_)
        return;
    if (!port_->write(bytes))
        on_lost(QStringLiteral("write failed"));
}

void Receiver2::remote_on()
{
    if ((cmd_active == 1 && lock_held == 0) || lock_held == 1) {
        send_cmd(cmd::remoteOn());
        wait_ms(50);
        send_cmd(cmd::remoteOn());
        wait_ms(50);
    }
}

void Receiver2::remote_off()
{
    if (lock_held == 0 && cmd_active == 0) {
        wait_ms(50);
        send_cmd(cmd::remoteOff());
        wait_ms(50);
        send_cmd(cmd::remoteOff());
    }
}

void Receiver2::wait_ms(int ms)
{
    delay_pending = true;
    QEventLoop loop;
    QTimer delay;
    delay.setSingleShot(true);
    delay.setTimerType(Qt::PreciseTimer);
    connect(&delay, &QTimer::timeout, &loop, [this, &loop] {
        delay_pending = false;
        loop.quit();
    });
    delay.start(ms);
    loop.exec();
    delay_pending = false;
}

bool Receiver2::wait_for_chars(int n, int timeoutMs)
{
    if (timeoutMs < 0)
        timeoutMs = app_.replyTimeoutMs;
    QElapsedTimer clock;
    clock.start();
    while (true) {
        if (!port_ || lost_)
            return false;
        if (port_->bytesAvailable() >= n)
            return true;
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0)
            return false;
        QEventLoop loop;
        QTimer bound;
        bound.setSingleShot(true);
        connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
        connect(port_, &Port::readyRead, &loop, &QEventLoop::quit);
        connect(port_, &Port::lost, &loop, &QEventLoop::quit);
        // Wake up now and then even without a signal: some ports buffer
        // characters without announcing each piece.
        bound.start(int(qMin<qint64>(left, 20)));
        loop.exec();
    }
}

std::optional<QString> Receiver2::read_rx_state()
{
    send_cmd(cmd::storeState());
    wait_ms(50);
    if (!port_ || lost_)
        return std::nullopt;
    port_->clear();
    send_cmd(cmd::readout(199, 199));
    if (!wait_for_chars(17))
        return std::nullopt;
    const QString r = QString::fromLatin1(port_->readAll());
    return QLatin1Char('X') + r.mid(4, 12).leftJustified(12, QLatin1Char(' '));
}

void Receiver2::bracket_cmd(const QString &text)
{
    bracket([&] { send_cmd(text); });
}

bool Receiver2::refresh_panel(bool reportFailure)
{
    std::optional<QString> r;
    cmd_active = 1;
    remote_on();
    send_cmd(QStringLiteral("U11"));
    wait_ms(50);
    r = read_rx_state();
    cmd_active = 0;
    remote_off();
    if (!r) {
        if (reportFailure && !lost_)
            report_no_answer();
        return false;
    }
    apply_state(*r);
    return true;
}

void Receiver2::apply_state(const QString &x13)
{
    PanelView *p = app_.panel;
    const Captions &cap = app_.cap;
    RxState &s = app_.rxs;
    const DecodedState d = DecodedState::decode(x13);

    if (p)
        p->showVbt(true);

    // A field whose character is not a digit of its table keeps its value
    // and its label.
    bool ok = false;
    QString t = Captions::text(cap.att, d.att, &ok);
    if (ok) {
        s.att = int16_t(d.att);
        if (p) p->setLabel(PanelView::HF, t);
    }
    t = Captions::text(cap.bw, d.bw, &ok);
    if (ok) {
        s.bw = int16_t(d.bw);
        if (p) p->setLabel(PanelView::BW, t);
    }
    t = Captions::text(cap.mode, d.mode, &ok);
    if (ok) {
        s.mode = int16_t(d.mode);
        if (p) p->setLabel(PanelView::MD, t);
    }

    if (lock_held == 1 && s.bw >= 0 && s.bw <= 3) {
        if (s.bw == 0 || s.bw == 1) {
            if (app_.settings.bwcFitted() && s.mode != 5) {
                const int lo = s.bw == 0 ? 5500 : 2200;
                const int hi = s.bw == 0 ? 2000 : 500;
                if (p) p->enableBwc(lo, hi, lo);
                send_cmd(cmd::bwc(lo));
            }
        } else if (p) {
            p->clearBwc();
        }
    }

    if (s.mode == 5) {
        if (p) {
            p->setAgcEnabled(false);
            p->setLabel(PanelView::AGC, QString());
            p->clearBwc();
            p->clearPbs();
            p->setBwFrameEnabled(false);
            p->setLabel(PanelView::BW, QString());
        }
    } else {
        if (p)
            p->setBwFrameEnabled(true);
        if (lock_held == 1) {
            if (p) p->enablePbs(0, QStringLiteral("0000"));
            send_cmd(cmd::pbsRefresh());
        }
        t = Captions::text(cap.agc, d.agc, &ok);
        if (ok) {
            s.agc = int16_t(d.agc);
            if (p) p->setLabel(PanelView::AGC, t);
        }
        if (p)
            p->setAgcEnabled(true);
    }

    if (d.freqValid)
        frequency_fanout(fmt::freqText(d.khz));
}

void Receiver2::set_bw(int16_t &n)
{
    if (n == 2 && !app_.settings.narrowFitted()) {
        app_.prompter->message(QStringLiteral("Reserved for Narrow filter\nwith optional unit CFL-23x "),
                               QStringLiteral("Mode"), Prompter::Information);
        return;
    }
    bracket_cmd(cmd::bw(n));
    if (app_.panel)
        app_.panel->setLabel(PanelView::BW, Captions::text(app_.cap.bw, n));
    app_.rxs.bw = n;
}

void Receiver2::set_mode(int16_t &n)
{
    if (n >= 7 && !app_.settings.ecssFitted()) {
        app_.prompter->message(QStringLiteral("Reserved for ECSS mode\nwith optional unit CMF-78 "),
                               QStringLiteral("Mode"), Prompter::Information);
        return;
    }
    bracket_cmd(cmd::mode(n));
    if (app_.panel)
        app_.panel->setLabel(PanelView::MD, Captions::text(app_.cap.mode, n));
    app_.rxs.mode = n;
}

void Receiver2::set_agc(int16_t &n)
{
    bracket_cmd(cmd::agc(n));
    if (app_.panel)
        app_.panel->setLabel(PanelView::AGC, Captions::text(app_.cap.agc, n));
    app_.rxs.agc = n;
}

void Receiver2::set_att(int16_t &n)
{
    bracket_cmd(cmd::att(app_.rxs.att));
    if (app_.panel)
        app_.panel->setLabel(PanelView::HF, Captions::text(app_.cap.att, n));
}

void Receiver2::frequency_fanout(const QString &s, bool includeTracking, FreqFanout::Target except)
{
    if (app_.panel)
        app_.panel->setFreqText(s);
    for (int t = 0; t < FreqFanout::Tracking; ++t)
        if (t != except)
            app_.fanout.send(FreqFanout::Target(t), s);
    if (includeTracking && except != FreqFanout::Tracking)
        tracking_update(s);
}

void Receiver2::tracking_update(const QString &s)
{
    if (!app_.fanout.loaded(FreqFanout::Tracking))
        return;
    app_.rxs.freq_khz = fmt::val(s);
    app_.fanout.send(FreqFanout::Tracking, s);
}

bool Receiver2::tune_from_row(double khz, const QString &code, const QString &defaultCode,
                              FreqFanout::Target origin)
{
    if (!(khz >= 10 && khz <= 29999.999))
        return false;
    const QString s = fmt::freqText(khz);
    if (origin != FreqFanout::Count)
        app_.fanout.send(origin, s);
    if (app_.panel)
        app_.panel->setFreqText(s);
    // Four code digits; a character that is not a digit counts as 0, in the
    // labels and in the record sent, so no letter ever reaches the receiver.
    QString c = (code.trimmed().isEmpty() ? defaultCode : code).left(4).leftJustified(4, QLatin1Char('0'));
    for (QChar &ch : c)
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            ch = QLatin1Char('0');
    if (app_.panel) {
        auto digit = [&](int i) { return i < c.size() ? fmt::digitValue(c.at(i)) : -1; };
        const QStringList *tables[4] = {&app_.cap.att, &app_.cap.bw, &app_.cap.mode, &app_.cap.agc};
        const PanelView::Label labels[4] = {PanelView::HF, PanelView::BW, PanelView::MD, PanelView::AGC};
        for (int i = 0; i < 4; ++i) {
            bool ok = false;
            const QString t = Captions::text(*tables[i], digit(i), &ok);
            if (ok)
                app_.panel->setLabel(labels[i], t);
        }
    }
    bracket_cmd(cmd::setRecord(cmd::rec12FromCode(c, khz)));
    // Tell the other open windows; the origin was updated above.
    for (int t = 0; t < FreqFanout::Tracking; ++t)
        if (t != origin)
            app_.fanout.send(FreqFanout::Target(t), s);
    if (origin != FreqFanout::Tracking)
        tracking_update(s);
    return true;
}

std::optional<QString> getfreq_decode(QString &term, const QString &text, double *khz)
{
    term.append(text);
    if (!term.endsWith(QLatin1Char('\r')))
        return std::nullopt;
    const QString digits = term.right(10).left(8);
    term.clear();
    const double k = fmt::val(digits) / 1000.0;
    if (khz)
        *khz = k;
    return fmt::freqText(k);
}

void Receiver2::on_ready_read()
{
    if (!auto_report || !port_)
        return;
    const QString t = QString::fromLatin1(port_->readAll());
    if (!t.isEmpty())
        getfreq(t);
}

void Receiver2::getfreq(const QString &text)
{
    double khz = 0;
    const std::optional<QString> s = getfreq_decode(term, text, &khz);
    if (!s)
        return;
    app_.rxs.freq_khz = khz;
    if (app_.panel)
        app_.panel->setFreqText(*s);
    app_.fanout.send(FreqFanout::Tracking, *s);
}

void Receiver2::report_no_answer()
{
    if (app_.prompter)
        app_.prompter->message(QStringLiteral("The receiver did not answer.\n"
                                              "Check the cable and that the RX is switched-on."),
                               QStringLiteral("Receiver"), Prompter::Exclamation);
}

void Receiver2::on_lost(const QString &)
{
    lost_ = true;
    if (lostReported_)
        return;
    lostReported_ = true;
    report_no_answer();
}

bool Receiver2::reopen(QString *error)
{
    if (!port_)
        return false;
    port_->close();
    if (!port_->open(error))
        return false;
    lost_ = false;
    lostReported_ = false;
    return true;
}
