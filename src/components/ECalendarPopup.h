#pragma once

#include "base/DateTime.h"

#include <QDialog>
#include <optional>

class ECalendarPanel;
class QPushButton;

/// The calendar that drops down from a date field, with "&Heute" and "&Keines". Closed with a
/// choice (a day clicked, Enter, Heute, Keines) it is accepted; chosen() is the day, or nothing
/// for Keines.
class ECalendarPopup final : public QDialog
{
    Q_OBJECT

public:
    explicit ECalendarPopup(QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(ECalendarPopup)

    ECalendarPanel& panel() { return *m_panel; }
    std::optional<DateTime> chosen() const { return m_chosen; }
    QPushButton* todayButton() const { return m_today; }
    QPushButton* noneButton() const { return m_none; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void choose(std::optional<DateTime> day);
    void retranslate();

    ECalendarPanel* m_panel;
    QPushButton* m_today;
    QPushButton* m_none;
    std::optional<DateTime> m_chosen;
};
