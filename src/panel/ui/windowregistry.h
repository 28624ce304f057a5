// The windows the panel's menus open. A window kind is registered once, with
// the menu item that opens it; the registry makes the window on the first
// pick, brings the same one to the front on the next, and deletes every
// window it made when it goes (with the panel). Adding a window is its class
// and one line:
//
//     windows.add<Smeter>("mnu_Smeter", {.measuring = measuregate::Smeter});
#pragma once
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <type_traits>

struct App;
class rxctrl2;

// How a window kind opens and ends.
struct WindowOptions {
    // A modal dialog: made, run and deleted on every pick, the panel its
    // parent; `then` runs after it closed.
    bool dialog = false;
    std::function<void()> then = {};
    // Its bit in the set of open measuring windows (0: not one).
    int measuring = 0;
    // Deleted before the others at the end (its run gives the receiver
    // back while the port is still there).
    bool endsFirst = false;
    // For an item the panel's menus do not have yet: the menu (its
    // objectName) that gets it as its last item, and its caption.
    QString menu = {};
    QString caption = {};
};

class WindowRegistry : public QObject {
    Q_OBJECT
public:
    using Options = WindowOptions;
    using Factory = std::function<QWidget *(App &app, QWidget *panel)>;

    WindowRegistry(App &app, rxctrl2 *panel);
    ~WindowRegistry() override; // deletes the windows

    // Registers the kind that menu item `item` (its objectName) opens; a
    // kind that two items open is registered with both.
    void add(const QStringList &items, Factory make, const Options &options = {});
    template <typename W> void add(const QStringList &items, const Options &options = {})
    {
        add(items, &make<W>, options);
    }
    template <typename W> void add(const QString &item, const Options &options = {})
    {
        add(QStringList{item}, &make<W>, options);
    }

    // What a pick of `item` does: the window made or brought to the front,
    // or the dialog run. The window, or nullptr.
    QWidget *open(const QString &item);
    // The open window of a kind, or nullptr.
    template <typename W> W *find() const
    {
        for (const Kind &k : kinds_)
            if (auto *w = qobject_cast<W *>(k.window.data()))
                return w;
        return nullptr;
    }
    // The measuring bits of the open windows.
    int openMeasuring() const;
    bool has(const QString &item) const;

    // Deletes the windows made so far (first the endsFirst ones); with
    // endsFirstOnly, only those.
    void deleteAll(bool endsFirstOnly = false);

signals:
    // A measuring window opened or went.
    void measuringChanged();

private:
    template <typename W> static QWidget *make(App &app, QWidget *panel)
    {
        if constexpr (std::is_constructible_v<W, App &, QWidget *>)
            return new W(app, panel);
        else
            return new W(app);
    }
    struct Kind {
        QStringList items;
        Factory make;
        Options options;
        QPointer<QWidget> window;
    };
    Kind *kindOf(const QString &item);

    App &app_;
    QPointer<rxctrl2> panel_;
    QList<Kind> kinds_;
};
