#include "components/EDirTree.h"

#include "platform/Native.h"

#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QPointer>
#include <QTimer>
#include <filesystem>
#include <thread>
#include <unistd.h>

namespace {

constexpr int NodeRole = Qt::UserRole + 1;

// One icon per picture, shared by every node: a folder of thousands of subfolders must not load
// its picture thousands of times.
QIcon picture(const QString& name, TreeStyle style)
{
    static QHash<QString, QIcon> icons;
    const QString file = QStringLiteral(":/tree/%1-%2.svg")
                             .arg(name, style == TreeStyle::styleXP ? QStringLiteral("xp") : QStringLiteral("95"));
    auto found = icons.find(file);
    if (found == icons.end())
        found = icons.insert(file, QIcon(file));
    return *found;
}

// The child a folder shows while its listing is under way.
constexpr int LoadingRole = Qt::UserRole + 2;

Qt::CheckState qtState(CheckState state)
{
    switch (state) {
    case CheckState::Checked:
        return Qt::Checked;
    case CheckState::Partial:
        return Qt::PartiallyChecked;
    default:
        return Qt::Unchecked;
    }
}

} // namespace

std::vector<TreeRoot> EDirTree::MachineRoots()
{
    std::vector<TreeRoot> roots;
    for (const BrowseRoot& root :
         MountedBrowseRoots(tr("Dateisystem").toStdString(), tr("Persönlicher Ordner").toStdString()))
        roots.push_back({QString::fromStdString(root.label), root.path, root.kind});
    return roots;
}

std::optional<std::vector<FolderEntry>> EDirTree::ListFolders(const std::string& path)
{
    namespace fs = std::filesystem;
    std::error_code error;
    std::vector<FolderEntry> entries;
    for (fs::directory_iterator it(path, error), end; !error && it != end; it.increment(error)) {
        std::error_code entryError;
        if (!it->is_directory(entryError))
            continue;
        FolderEntry entry{it->path().filename().string(), it->is_symlink(entryError), true};
        entry.readable = ::access(it->path().c_str(), R_OK | X_OK) == 0;
        entries.push_back(std::move(entry));
    }
    if (error)
        return std::nullopt;
    return entries;
}

EDirTree::EDirTree(const std::vector<TreeRoot>& roots, Lister lister, QWidget* parent)
    : QTreeWidget(parent),
      // The tree lists by itself only when folders are assigned; opening a folder lists it in the
      // background and hands the names over.
      m_tree([this](const std::string& path) -> std::optional<std::vector<std::string>> {
          const auto entries = m_lister(path);
          if (!entries)
              return std::nullopt;
          return remember(path, entries);
      }),
      m_lister(lister ? std::move(lister) : Lister(&EDirTree::ListFolders))
{
    setObjectName(QStringLiteral("EDirTree"));
    setHeaderHidden(true);
    setUniformRowHeights(true);
    m_computer = m_tree.AddNode(m_tree.desktop(), "Arbeitsplatz", NodeKind::Computer);
    m_network = m_tree.AddNode(m_tree.desktop(), "Netzwerkumgebung", NodeKind::Network);
    for (const TreeRoot& root : roots) {
        const bool network = root.kind == MediumKind::Network;
        m_rootKinds.insert(
            m_tree.AddNode(network ? m_network : m_computer, root.caption.toStdString(), NodeKind::Root, root.path),
            root.kind);
    }
    QTreeWidgetItem* desktop = addItem(nullptr, m_tree.desktop());
    addTopLevelItem(desktop);
    for (const CheckTree::NodeId group : {m_computer, m_network}) {
        QTreeWidgetItem* item = addItem(desktop, group);
        for (const CheckTree::NodeId root : m_tree.node(group).children)
            addItem(item, root);
    }
    desktop->setExpanded(true);
    m_items.value(m_computer)->setExpanded(true);
    connect(this, &QTreeWidget::itemExpanded, this, &EDirTree::expanded);
    connect(this, &QTreeWidget::itemChanged, this, &EDirTree::changed);
    retranslate();
}

EDirTree::~EDirTree() = default;

CheckTree::NodeId EDirTree::nodeOf(const QTreeWidgetItem* item) const
{
    return item ? item->data(0, NodeRole).toInt() : -1;
}

QTreeWidgetItem* EDirTree::addItem(QTreeWidgetItem* parent, CheckTree::NodeId id)
{
    const CheckTree::Node& node = m_tree.node(id);
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem;
    item->setData(0, NodeRole, id);
    item->setText(0, QString::fromStdString(node.caption));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(0, qtState(node.state));
    item->setToolTip(0, QString::fromStdString(m_tree.NodePath(id)));
    const bool folder = node.kind == NodeKind::Folder || node.kind == NodeKind::Root;
    const bool descend = folder && !isLink(id) && !isUnreadable(id);
    item->setChildIndicatorPolicy(descend && !node.loaded ? QTreeWidgetItem::ShowIndicator
                                                          : QTreeWidgetItem::DontShowIndicatorWhenChildless);
    if (m_tree.isHidden(id) || isUnreadable(id))
        item->setForeground(0, palette().brush(QPalette::Disabled, QPalette::Text));
    item->setIcon(0, picture(pictureOf(id), m_style));
    m_items.insert(id, item);
    return item;
}

QString EDirTree::pictureOf(CheckTree::NodeId id) const
{
    switch (m_tree.node(id).kind) {
    case NodeKind::Desktop:
        return QStringLiteral("desktop");
    case NodeKind::Computer:
        return QStringLiteral("computer");
    case NodeKind::Network:
        return QStringLiteral("network");
    case NodeKind::Root:
        switch (m_rootKinds.value(id)) {
        case MediumKind::Removable:
            return QStringLiteral("drive-removable");
        case MediumKind::Optical:
            return QStringLiteral("drive-optical");
        case MediumKind::Network:
            return QStringLiteral("drive-network");
        case MediumKind::Fixed:
            break;
        }
        return QStringLiteral("drive-fixed");
    case NodeKind::Folder:
        break;
    }
    return QStringLiteral("folder");
}

void EDirTree::setPictureStyle(TreeStyle style)
{
    m_style = style;
    const QSignalBlocker blocker(this);
    for (auto it = m_items.cbegin(); it != m_items.cend(); ++it)
        it.value()->setIcon(0, picture(pictureOf(it.key()), style));
}

void EDirTree::expanded(QTreeWidgetItem* item)
{
    const CheckTree::NodeId id = nodeOf(item);
    const CheckTree::Node& node = m_tree.node(id);
    if (node.loaded || m_pending.contains(id) || isLink(id) || isUnreadable(id))
        return;
    m_pending.insert(id);
    auto* loading = new QTreeWidgetItem(item);
    loading->setData(0, LoadingRole, true);
    loading->setFlags(Qt::ItemIsEnabled);
    loading->setText(0, tr("wird geladen…"));
    // A mount that does not answer holds its listing thread, never the window.
    QPointer<EDirTree> self(this);
    std::thread([self, id, path = m_tree.NodePath(id), lister = m_lister] {
        auto entries = lister(path);
        QMetaObject::invokeMethod(qApp, [self, id, entries = std::move(entries)] {
            if (self)
                self->listed(id, entries);
        });
    }).detach();
    QTimer::singleShot(ListingPatienceMs, this, [this, id] {
        if (!m_pending.contains(id))
            return;
        if (QTreeWidgetItem* parentItem = m_items.value(id); parentItem && parentItem->childCount() > 0)
            parentItem->child(0)->setText(0, tr("keine Antwort – wird weiter geladen…"));
    });
}

void EDirTree::listed(CheckTree::NodeId id, const std::optional<std::vector<FolderEntry>>& entries)
{
    m_pending.remove(id);
    // Assigning folders meanwhile may have listed this one already.
    if (!m_tree.node(id).loaded)
        m_tree.AddListing(id, remember(m_tree.NodePath(id), entries));
    showChildren(id, true);
}

std::vector<std::string> EDirTree::remember(const std::string& path,
                                            const std::optional<std::vector<FolderEntry>>& entries)
{
    std::vector<std::string> names;
    for (const FolderEntry& entry : entries.value_or(std::vector<FolderEntry>{})) {
        const QString child = QString::fromStdString(path + entry.name + "/");
        m_found.insert(child, entry);
        names.push_back(entry.name);
    }
    return names;
}

bool EDirTree::isLink(CheckTree::NodeId id) const
{
    return m_found.value(QString::fromStdString(m_tree.NodePath(id))).link;
}

bool EDirTree::isUnreadable(CheckTree::NodeId id) const
{
    return !m_found.value(QString::fromStdString(m_tree.NodePath(id))).readable;
}

void EDirTree::forgetItems(CheckTree::NodeId id)
{
    for (const CheckTree::NodeId child : m_tree.node(id).children) {
        m_items.remove(child);
        forgetItems(child);
    }
}

void EDirTree::showChildren(CheckTree::NodeId id, bool announce)
{
    QTreeWidgetItem* item = m_items.value(id);
    if (!item)
        return;
    {
        const QSignalBlocker blocker(this);
        forgetItems(id);
        qDeleteAll(item->takeChildren());
        item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    }
    showMore(id, 0, ++m_showings[id], announce);
}

void EDirTree::showMore(CheckTree::NodeId id, std::size_t from, int showing, bool announce)
{
    QTreeWidgetItem* item = m_items.value(id);
    if (!item || m_showings.value(id) != showing)
        return; // shown again meanwhile, or gone
    QSignalBlocker blocker(this);
    // Made apart and added a batch at a time: a folder with many thousands of subfolders never
    // holds the window, and each batch is one insertion, not one per row.
    const std::vector<CheckTree::NodeId>& all = m_tree.node(id).children;
    const std::size_t to = std::min(all.size(), from + ShowBatch);
    QList<QTreeWidgetItem*> children;
    for (std::size_t i = from; i < to; ++i)
        children.append(addItem(nullptr, all[i]));
    item->addChildren(children);
    for (std::size_t i = from; i < to; ++i)
        if (m_tree.node(all[i]).loaded && !m_tree.node(all[i]).children.empty())
            showChildren(all[i], false);
    if (to < all.size()) {
        QTimer::singleShot(0, this, [this, id, to, showing, announce] { showMore(id, to, showing, announce); });
        return;
    }
    blocker.unblock();
    if (announce)
        emit folderLoaded(QString::fromStdString(m_tree.NodePath(id)));
}

void EDirTree::changed(QTreeWidgetItem* item, int column)
{
    if (m_syncing || column != 0 || item->data(0, LoadingRole).toBool())
        return;
    const CheckTree::NodeId id = nodeOf(item);
    const CheckState wanted = item->checkState(0) == Qt::Checked ? CheckState::Checked : CheckState::Unchecked;
    if (m_tree.node(id).state != wanted)
        m_tree.SetCheckState(id, wanted);
    syncStates();
}

void EDirTree::syncStates()
{
    m_syncing = true;
    for (auto it = m_items.cbegin(); it != m_items.cend(); ++it)
        if (it.value()->checkState(0) != qtState(m_tree.node(it.key()).state))
            it.value()->setCheckState(0, qtState(m_tree.node(it.key()).state));
    m_syncing = false;
}

std::vector<std::string> EDirTree::setSelectedDirs(const std::vector<std::string>& paths)
{
    const QSignalBlocker blocker(this);
    m_tree.UncheckAll();
    const std::vector<std::string> notFound = m_tree.AssignSelectedDirs(paths);
    for (const CheckTree::NodeId group : {m_computer, m_network})
        for (const CheckTree::NodeId root : m_tree.node(group).children)
            if (m_tree.node(root).loaded)
                showChildren(root);
    syncStates();
    return notFound;
}

void EDirTree::revealChecked()
{
    QTreeWidgetItem* first = nullptr;
    for (const std::string& path : m_tree.SelectedDirs()) {
        QTreeWidgetItem* found = nullptr;
        for (auto it = m_items.cbegin(); it != m_items.cend() && !found; ++it)
            if (m_tree.NodePath(it.key()) == path)
                found = it.value();
        if (!found)
            continue;
        for (QTreeWidgetItem* up = found->parent(); up; up = up->parent())
            up->setExpanded(true);
        if (!first)
            first = found;
    }
    if (first)
        scrollToItem(first, QAbstractItemView::PositionAtCenter);
}

void EDirTree::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QTreeWidget::changeEvent(event);
}

void EDirTree::retranslate()
{
    const QSignalBlocker blocker(this);
    m_items.value(m_tree.desktop())->setText(0, tr("Desktop"));
    m_items.value(m_computer)->setText(0, tr("Arbeitsplatz"));
    m_items.value(m_network)->setText(0, tr("Netzwerkumgebung"));
}
