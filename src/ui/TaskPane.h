#pragma once

#include "profiles/ProfileRowTexts.h"

#include <QFrame>
#include <array>
#include <optional>

class HoverLink;
class QAction;
class QLabel;
class QToolButton;
class QVBoxLayout;

/// The pane left of the list: the group "Sicherungsaufgaben" with four commands and the group
/// "Details" with eight lines about the selected profile. A click on a group's header or arrow
/// folds the group in or out.
class TaskPane final : public QFrame
{
    Q_OBJECT

public:
    /// The commands behind "Neues Sicherungsprofil erstellen", "Sicherung jetzt durchführen",
    /// "Sicherungsprofil bearbeiten" and "Sicherungsprotokoll öffnen".
    TaskPane(const std::array<QAction*, 4>& tasks, QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(TaskPane)

    /// The details of the selected profile, or empty lines.
    void ShowDetails(const std::optional<ProfileDetailTexts>& details);
    /// Folds a group (0 tasks, 1 details) in or out.
    void setGroupExpanded(int group, bool expanded);
    bool groupExpanded(int group) const;
    /// The texts of the eight detail lines as shown (tests).
    QStringList detailLines() const;
    /// Whether the errors line is drawn in the error colour.
    bool errorsShownAsError() const { return m_details && m_details->hasErrors; }

signals:
    /// The errors line was clicked: the log is to be opened.
    void errorsClicked();

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Group
    {
        QToolButton* arrow = nullptr;
        HoverLink* header = nullptr;
        QWidget* body = nullptr;
        bool expanded = true;
    };

    Group makeGroup(QVBoxLayout* layout, QWidget* body);
    void toggle(int group);
    void retranslate();
    /// The pane lies in a splitter, which asks no label for its height at a width: each detail
    /// line is given the height its wrapped text needs at the width it has.
    void fitDetailHeights();

    std::array<QAction*, 4> m_tasks;
    std::array<HoverLink*, 4> m_taskLinks{};
    std::array<QLabel*, 8> m_detailLabels{};
    HoverLink* m_errors = nullptr;
    std::array<Group, 2> m_groups;
    std::optional<ProfileDetailTexts> m_details;
};
