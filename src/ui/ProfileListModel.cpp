#include "ui/ProfileListModel.h"

#include "ui/CoreTexts.h"
#include "ui/Icons.h"
#include "ui/OutcomeNotices.h"

#include <QMimeData>

namespace {

constexpr const char* RowMimeType = "application/x-tresorio-profile-row";

} // namespace

ProfileListModel::ProfileListModel(ProfileList& profiles, std::function<RunMarks()> marks,
                                   std::function<void(int, int)> moveRow, QObject* parent)
    : QAbstractTableModel(parent), m_profiles(profiles), m_marks(std::move(marks)), m_moveRow(std::move(moveRow))
{
    m_profiles.addObserver(this);
    compose();
}

ProfileListModel::~ProfileListModel()
{
    m_profiles.removeObserver(this);
}

void ProfileListModel::compose()
{
    const RunMarks marks = m_marks();
    m_rows.resize(static_cast<std::size_t>(m_profiles.count()));
    for (int row = 0; row < m_profiles.count(); ++row) {
        const TProfile& profile = m_profiles.at(row);
        const bool running = marks.activeRow == row;
        Row composed{RefreshedRowTexts(profile, running), RowImageIndex(profile, running, marks.paused), std::nullopt};
        if (const OverdueState state = marks.overdue ? marks.overdue(profile) : OverdueState{};
            state.overdue && !running) {
            composed.overdueDays = state.daysSinceSuccess;
            composed.image = StateErrors;
        }
        m_rows[static_cast<std::size_t>(row)] = std::move(composed);
    }
}

void ProfileListModel::Refresh()
{
    if (static_cast<int>(m_rows.size()) != m_profiles.count()) {
        beginResetModel();
        compose();
        endResetModel();
        return;
    }
    compose();
    if (!m_rows.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void ProfileListModel::RowsAboutToChange()
{
    beginResetModel();
}

void ProfileListModel::RowsChanged()
{
    compose();
    endResetModel();
}

int ProfileListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ProfileListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 4;
}

QVariant ProfileListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= static_cast<int>(m_rows.size()))
        return {};
    const Row& row = m_rows[static_cast<std::size_t>(index.row())];
    if (role == Qt::EditRole && index.column() == 0)
        return QString::fromStdString(row.texts.name);
    if (role == Qt::ToolTipRole && row.overdueDays)
        return OverdueNotice(*row.overdueDays);
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        switch (index.column()) {
        case 0:
            return QString::fromStdString(row.texts.name);
        case 1:
            return CoreText(row.texts.lastRun);
        case 2:
            return QString::fromStdString(row.texts.nextRun);
        default:
            return CoreText(row.texts.mode);
        }
    }
    if (role == Qt::DecorationRole && index.column() == 0)
        return StateIcon(row.image);
    if (role == ImageRole)
        return row.image;
    return {};
}

QVariant ProfileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case 0:
        return tr("Name");
    case 1:
        return tr("Letzte Sicherung");
    case 2:
        return tr("Nächste Sicherung");
    default:
        return tr("Modus");
    }
}

Qt::ItemFlags ProfileListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled |
                          Qt::ItemNeverHasChildren;
    if (index.column() == 0 && m_rename)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool ProfileListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || index.column() != 0 || !m_rename || index.row() >= rowCount())
        return false;
    // The rename refreshes the rows itself once the profile has its new name.
    m_rename(index.row(), value.toString());
    return true;
}

Qt::DropActions ProfileListModel::supportedDropActions() const
{
    return Qt::MoveAction;
}

QStringList ProfileListModel::mimeTypes() const
{
    return {QLatin1String(RowMimeType)};
}

QMimeData* ProfileListModel::mimeData(const QModelIndexList& indexes) const
{
    // With several rows selected, only the first moves.
    int first = -1;
    for (const QModelIndex& index : indexes)
        if (index.isValid() && (first < 0 || index.row() < first))
            first = index.row();
    if (first < 0)
        return nullptr;
    auto* data = new QMimeData;
    data->setData(QLatin1String(RowMimeType), QByteArray::number(first));
    return data;
}

bool ProfileListModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int row, int,
                                       const QModelIndex& parent) const
{
    // The list takes only its own rows, and only dropped on a row.
    return data && data->hasFormat(QLatin1String(RowMimeType)) && (parent.isValid() || row >= 0);
}

bool ProfileListModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                                    const QModelIndex& parent)
{
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    bool ok = false;
    const int from = data->data(QLatin1String(RowMimeType)).toInt(&ok);
    const int before = parent.isValid() ? parent.row() : row;
    if (!ok || from < 0 || from >= m_profiles.count() || before > m_profiles.count())
        return false;
    if (before != from)
        m_moveRow(from, before);
    // The row is moved already: the view must not remove anything after the drop.
    return false;
}
