#include "ui/Icons.h"

#include <QHash>

namespace {

// The icons are SVG: one file serves every size the desktop asks for. Loaded once, they are
// shared, since the rows and the animation ask for them all the time.
QIcon loaded(const QString& resource)
{
    static QHash<QString, QIcon> cache;
    auto found = cache.find(resource);
    if (found == cache.end())
        found = cache.insert(resource, QIcon(resource));
    return *found;
}

} // namespace

QIcon StateIcon(int index)
{
    static const char* const names[] = {"state-idle", "state-error", "state-running", "state-paused"};
    if (index >= FirstAnimationFrame && index < FirstAnimationFrame + AnimationFrames)
        return loaded(QStringLiteral(":/icons/run-frame-%1.svg").arg(index - FirstAnimationFrame + 1));
    if (index < 0 || index > StatePaused)
        index = StateIdle;
    return loaded(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(names[index])));
}

QIcon CommandIcon(const QString& name)
{
    const QString file = name.startsWith(QLatin1String("view-")) ? name : QStringLiteral("action-") + name;
    return loaded(QStringLiteral(":/icons/%1.svg").arg(file));
}

QIcon ProgramIcon()
{
    return loaded(QStringLiteral(":/icons/tresorio.svg"));
}
