#include "components/CheckTree.h"

#include <algorithm>

CheckTree::CheckTree(FolderLister lister, bool cascade) : m_lister(std::move(lister)), m_cascade(cascade)
{
    m_nodes.push_back({"Desktop", {}, NodeKind::Desktop, CheckState::Unchecked, -1, {}, true});
}

CheckTree::NodeId CheckTree::AddNode(NodeId parent, std::string caption, NodeKind kind, std::string rootPath)
{
    if (!rootPath.empty() && rootPath.back() != '/')
        rootPath += '/';
    const NodeId id = static_cast<NodeId>(m_nodes.size());
    // Only folders and roots have subfolders to list; the grouping nodes are filled by their owner.
    const bool loaded = kind != NodeKind::Folder && kind != NodeKind::Root;
    m_nodes.push_back({std::move(caption), std::move(rootPath), kind, CheckState::Unchecked, parent, {}, loaded});
    m_nodes[static_cast<std::size_t>(parent)].children.push_back(id);
    return id;
}

void CheckTree::SetCheckState(NodeId id, CheckState state)
{
    if (id < 0 || id >= static_cast<NodeId>(m_nodes.size()))
        return;
    m_nodes[static_cast<std::size_t>(id)].state = state;
    m_nodes[static_cast<std::size_t>(id)].chosen = state == CheckState::Checked;
    if (!m_cascade)
        return;
    updateAncestors(id);
    pushToChildren(id);
}

void CheckTree::UncheckAll()
{
    for (Node& n : m_nodes) {
        if (n.state != CheckState::None)
            n.state = CheckState::Unchecked;
        n.chosen = false;
    }
}

void CheckTree::Toggle(NodeId id)
{
    const CheckState state = node(id).state;
    if (state == CheckState::None)
        return;
    SetCheckState(id, state == CheckState::Checked ? CheckState::Unchecked : CheckState::Checked);
}

void CheckTree::updateAncestors(NodeId id)
{
    for (NodeId parent = node(id).parent; parent >= 0; parent = node(parent).parent) {
        const std::vector<NodeId>& siblings = node(parent).children;
        const auto all = [&](CheckState state) {
            return std::all_of(siblings.begin(), siblings.end(), [&](NodeId s) { return node(s).state == state; });
        };
        Node& p = m_nodes[static_cast<std::size_t>(parent)];
        if (all(CheckState::Unchecked))
            p.chosen = false;
        p.state = all(CheckState::Checked) && p.chosen ? CheckState::Checked
                  : all(CheckState::Unchecked)         ? CheckState::Unchecked
                                                       : CheckState::Partial;
    }
}

void CheckTree::pushToChildren(NodeId id)
{
    const CheckState state = node(id).state;
    if (state != CheckState::Checked && state != CheckState::Unchecked)
        return;
    for (const NodeId child : node(id).children) {
        m_nodes[static_cast<std::size_t>(child)].state = state;
        m_nodes[static_cast<std::size_t>(child)].chosen = state == CheckState::Checked;
        pushToChildren(child);
    }
}

bool CheckTree::isHidden(NodeId id) const
{
    return node(id).kind == NodeKind::Folder && !node(id).caption.empty() && node(id).caption.front() == '.';
}

void CheckTree::AddListing(NodeId id, std::vector<std::string> names)
{
    Node& parent = m_nodes[static_cast<std::size_t>(id)];
    if (parent.loaded)
        return;
    parent.loaded = true;
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const bool hiddenA = !a.empty() && a.front() == '.';
        const bool hiddenB = !b.empty() && b.front() == '.';
        return hiddenA != hiddenB ? hiddenB : a < b;
    });
    const CheckState inherited =
        node(id).state == CheckState::Checked && m_cascade ? CheckState::Checked : CheckState::Unchecked;
    for (std::string& name : names) {
        if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
            continue;
        const NodeId child = AddNode(id, std::move(name), NodeKind::Folder);
        m_nodes[static_cast<std::size_t>(child)].state = inherited;
        m_nodes[static_cast<std::size_t>(child)].chosen = inherited == CheckState::Checked;
    }
}

bool CheckTree::Load(NodeId id)
{
    if (node(id).loaded)
        return true;
    const std::optional<std::vector<std::string>> names = m_lister(NodePath(id));
    AddListing(id, names.value_or(std::vector<std::string>{}));
    return names.has_value();
}

std::string CheckTree::NodePath(NodeId id) const
{
    std::string path;
    for (; id >= 0; id = node(id).parent) {
        const Node& n = node(id);
        if (n.kind == NodeKind::Root)
            return n.rootPath + path;
        if (n.kind != NodeKind::Folder)
            return {};
        path = n.caption + "/" + path;
    }
    return {};
}

std::vector<std::string> CheckTree::SelectedDirs() const
{
    std::vector<std::string> paths;
    std::vector<NodeId> pending = {desktop()};
    while (!pending.empty()) {
        const NodeId id = pending.back();
        pending.pop_back();
        const Node& n = node(id);
        const bool folder = n.kind == NodeKind::Folder || n.kind == NodeKind::Root;
        if (folder && n.state == CheckState::Checked) {
            paths.push_back(NodePath(id));
            if (m_cascade)
                continue;
        }
        for (auto child = n.children.rbegin(); child != n.children.rend(); ++child)
            pending.push_back(*child);
    }
    return paths;
}

std::optional<CheckTree::NodeId> CheckTree::findFolder(const std::string& wanted)
{
    std::string path = wanted;
    if (path.empty() || path.front() != '/')
        return std::nullopt;
    if (path.back() != '/')
        path += '/';
    // The root that holds the path most closely: the home folder before "/".
    std::optional<NodeId> best;
    for (NodeId id = 0; id < static_cast<NodeId>(m_nodes.size()); ++id) {
        const Node& n = node(id);
        if (n.kind == NodeKind::Root && path.starts_with(n.rootPath) &&
            (!best || n.rootPath.size() > node(*best).rootPath.size()))
            best = id;
    }
    if (!best)
        return std::nullopt;
    NodeId current = *best;
    std::size_t at = node(current).rootPath.size();
    while (at < path.size()) {
        const std::size_t end = path.find('/', at);
        const std::string part = path.substr(at, end - at);
        if (part.empty() || part == "." || part == "..")
            return std::nullopt;
        Load(current);
        const std::vector<NodeId>& children = node(current).children;
        const auto found =
            std::find_if(children.begin(), children.end(), [&](NodeId child) { return node(child).caption == part; });
        if (found == children.end())
            return std::nullopt;
        current = *found;
        at = end + 1;
    }
    return current;
}

std::vector<std::string> CheckTree::AssignSelectedDirs(const std::vector<std::string>& paths)
{
    std::vector<std::string> notFound;
    for (const std::string& path : paths) {
        if (const auto id = findFolder(path))
            SetCheckState(*id, CheckState::Checked);
        else
            notFound.push_back(path);
    }
    return notFound;
}
