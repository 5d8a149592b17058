#include "app/RunOutcome.h"

#include <gtest/gtest.h>

TEST(RunOutcomeTest, EachEndingLeavesOneJournalLineWithItsLevel)
{
    const auto outcome = [](RunEnding ending, std::int32_t errors, std::string firstError) {
        RunOutcome o;
        o.profile = "Daten";
        o.ending = ending;
        o.errors = errors;
        o.firstError = std::move(firstError);
        o.daysSinceSuccess = 12;
        return o;
    };
    const struct
    {
        RunOutcome outcome;
        const char* line;
    } cases[] = {
        {outcome(RunEnding::Succeeded, 0, ""), "<6>tresorio: Profil \"Daten\" ohne Fehler beendet"},
        {outcome(RunEnding::Failed, 2, "Kopieren a.txt (Zugriff verweigert)"),
         "<3>tresorio: Profil \"Daten\" mit 2 Fehlern beendet: Kopieren a.txt (Zugriff verweigert)"},
        {outcome(RunEnding::Failed, 1, "x"), "<3>tresorio: Profil \"Daten\" mit 1 Fehler beendet: x"},
        {outcome(RunEnding::Refused, 1, "Ziel /media/usb derzeit nicht verfügbar: kein Medium eingehängt"),
         "<3>tresorio: Profil \"Daten\" nicht gestartet: Ziel /media/usb derzeit nicht verfügbar: kein Medium "
         "eingehängt"},
        {outcome(RunEnding::Interrupted, 1, "Sicherung unterbrochen"),
         "<3>tresorio: Profil \"Daten\" unterbrochen: Sicherung unterbrochen"},
        {outcome(RunEnding::Cancelled, 1, "Abbruch durch Benutzer"),
         "<5>tresorio: Profil \"Daten\" vom Benutzer abgebrochen"},
        {outcome(RunEnding::Overdue, 0, ""),
         "<3>tresorio: Profil \"Daten\" überfällig: Letzte erfolgreiche Sicherung vor 12 Tagen"},
        // A line break in an error (a file name may hold one) would start a line without level.
        {outcome(RunEnding::Failed, 1, "Kopieren a\nb.txt"),
         "<3>tresorio: Profil \"Daten\" mit 1 Fehler beendet: Kopieren a b.txt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JournalLine(c.outcome), c.line);
    EXPECT_EQ(OverdueText(1), "Letzte erfolgreiche Sicherung vor einem Tag");
}
