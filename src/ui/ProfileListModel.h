#pragma once

#include "profiles/ProfileList.h"
#include "profiles/ProfileRowTexts.h"
#include "scheduler/Overdue.h"

#include <QAbstractTableModel>
#include <functional>
#include <optional>
#include <vector>

/// Where the list's rows stand in a run: the running row and whether the scheduler is paused.
struct RunMarks
{
    std::optional<int> activeRow;
    bool paused = false;
    /// Whether and how long a profile has been silent (Program::OverdueOf).
    std::function<OverdueState(const TProfile&)> overdue;
};

/// The profile list as a Qt item model: one row per profile in file order, the columns "Name",
/// "Letzte Sicherung", "Nächste Sicherung" and "Modus", the state picture in the first column (the
/// errors picture also for an overdue profile, whose row says so in its tooltip). The
/// texts are composed by Refresh (UpdateProfileList) and when rows change, not at every paint.
/// A row dragged onto another row is moved just before it through moveRow.
class ProfileListModel final : public QAbstractTableModel, private ProfileListObserver
{
    Q_OBJECT

public:
    ProfileListModel(ProfileList& profiles, std::function<RunMarks()> marks,
                     std::function<void(int from, int before)> moveRow, QObject* parent = nullptr);
    ~ProfileListModel() override;
    Q_DISABLE_COPY_MOVE(ProfileListModel)

    /// The number of the row's picture (0 idle, 1 errors, 2 running, 3 paused) in the first column.
    static constexpr int ImageRole = Qt::UserRole + 1;

    /// Composes every row's texts and picture again.
    void Refresh();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    /// Renaming in place: the first column becomes editable and a committed text goes here.
    void setRenamer(std::function<void(int row, const QString& name)> rename) { m_rename = std::move(rename); }
    Qt::DropActions supportedDropActions() const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

private:
    void RowsAboutToChange() override;
    void RowsChanged() override;
    void compose();

    struct Row
    {
        ProfileRowTexts texts;
        int image = 0;
        std::optional<int> overdueDays; // since the last run without errors, when overdue
    };

    ProfileList& m_profiles;
    std::function<RunMarks()> m_marks;
    std::function<void(int, int)> m_moveRow;
    std::function<void(int, const QString&)> m_rename;
    std::vector<Row> m_rows;
};
