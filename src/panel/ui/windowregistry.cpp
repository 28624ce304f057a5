#include "panel/ui/windowregistry.h"

#include "panel/ui/rxctrl2.h"

#include <QDialog>
#include <QTimer>
#include <memory>

WindowRegistry::WindowRegistry(App &app, rxctrl2 *panel) : QObject(panel), app_(app), panel_(panel) {}

WindowRegistry::~WindowRegistry()
{
    deleteAll();
}

void WindowRegistry::add(const QStringList &items, Factory make, const Options &options)
{
    kinds_.append({items, std::move(make), options, {}});
    if (!panel_)
        return;
    for (const QString &item : items) {
        if (!panel_->menuAction(item) && !options.menu.isEmpty())
            panel_->addMenuItem(options.menu, item, options.caption);
        panel_->setMenuAction(item, [this, item] { open(item); });
    }
}

WindowRegistry::Kind *WindowRegistry::kindOf(const QString &item)
{
    for (Kind &k : kinds_)
        if (k.items.contains(item))
            return &k;
    return nullptr;
}

bool WindowRegistry::has(const QString &item) const
{
    return const_cast<WindowRegistry *>(this)->kindOf(item) != nullptr;
}

QWidget *WindowRegistry::open(const QString &item)
{
    Kind *k = kindOf(item);
    if (!k)
        return nullptr;
    if (k->options.dialog) {
        const std::function<void()> then = k->options.then;
        {
            std::unique_ptr<QWidget> d(k->make(app_, panel_));
            if (auto *dialog = qobject_cast<QDialog *>(d.get()))
                dialog->exec();
        }
        if (then)
            then();
        return nullptr;
    }
    const bool fresh = !k->window;
    if (fresh) {
        k->window = k->make(app_, nullptr); // each window decides whether closing deletes it
        if (k->options.measuring)
            connect(k->window.data(), &QObject::destroyed, this,
                    [this] { QTimer::singleShot(0, this, &WindowRegistry::measuringChanged); });
    }
    QWidget *w = k->window;
    w->show();
    w->raise();
    w->activateWindow();
    if (k->options.measuring)
        emit measuringChanged();
    return w;
}

int WindowRegistry::openMeasuring() const
{
    int open = 0;
    for (const Kind &k : kinds_)
        if (k.window)
            open |= k.options.measuring;
    return open;
}

void WindowRegistry::deleteAll(bool endsFirstOnly)
{
    for (bool first : {true, false}) {
        if (!first && endsFirstOnly)
            break;
        for (Kind &k : kinds_)
            if (k.options.endsFirst == first)
                delete k.window.data();
    }
}
