#include "engine/ReportLines.h"

#include "base/ResultCodes.h"

#include <gtest/gtest.h>

namespace {

DateTime at(int h, int n, int s, int day = 0)
{
    return 37626.0 + day + *TryEncodeTime(h, n, s);
}

TEST(ReportLinesTest, Statistics)
{
    EXPECT_EQ(MegabytesPerMinute(1'048'576, at(10, 0, 0), at(10, 0, 30)), 2);
    EXPECT_EQ(MegabytesPerMinute(1'048'576, at(10, 0, 0), at(10, 0, 0)), 0); // no duration
    EXPECT_EQ(MegabytesPerMinute(5LL << 30, at(10, 0, 0), at(10, 1, 0)), 5120);
    EXPECT_EQ(FormatDuration(at(10, 0, 0), at(11, 2, 3)), "01:02:03");
    EXPECT_EQ(FormatDuration(at(10, 0, 0), at(11, 0, 0, 1)), "25:00:00");
    EXPECT_EQ(CompressionRateOf(300, 1000), 70);
    EXPECT_EQ(CompressionRateOf(1200, 1000), -20);
    EXPECT_EQ(CompressionRateOf(5, 1000), 100); // 0.5 rounds to the even 0
    EXPECT_EQ(CompressionRateOf(15, 1000), 98); // 1.5 rounds to the even 2
    EXPECT_EQ(CompressionRateOf(100, 0), 0);    // nothing processed
}

TEST(ReportLinesTest, ErrorLines)
{
    EXPECT_EQ(FileErrorLine("copying a/b.txt", 5, "Permission denied"),
              "!!! Fehler    : copying a/b.txt (Zugriff verweigert)");
    EXPECT_EQ(FileErrorLine("copying x", 112, "No space left on device"),
              "!!! Fehler    : copying x (112 - No space left on device)");
    EXPECT_EQ(ResultMessage(ResultCode::VerificationFailed, ""), "Verifizierung fehlgeschlagen");
    EXPECT_EQ(ReportLabel("Grösse kopiert"), "Grösse kopiert        : ");
}

TEST(ReportLinesTest, TheFirstErrorInPlainWordsTakesItsCauseFromTheNextLine)
{
    const std::vector<std::string> refused = {RuleLine, "Profil                : USB",
                                              "!!! Fehler    : Ziel /media/usb/backup derzeit nicht verfügbar",
                                              "!!! Fehler    : (21 - kein Medium eingehängt)", RuleLine};
    EXPECT_EQ(FirstErrorOf(refused), "Ziel /media/usb/backup derzeit nicht verfügbar: kein Medium eingehängt");
    // A file's error carries its cause in itself; the next error is another file's.
    const std::vector<std::string> files = {"Hinweis: x", FileErrorLine("Kopieren a.txt", 5, ""),
                                            FileErrorLine("Kopieren b.txt", 5, "")};
    EXPECT_EQ(FirstErrorOf(files), "Kopieren a.txt (Zugriff verweigert)");
    EXPECT_EQ(FirstErrorOf({RuleLine, "Anzahl kopiert        : 3"}), "");
}

TEST(ReportLinesTest, HeaderAndFooterLinesDependOnTheProfile)
{
    TProfile p;
    p.Name = "FTP";
    p.FTP = true;
    p.FTPServer = "ftp.example.org:2121";
    p.FTPMode = 2;
    p.FTPPassive = true;
    p.Compress = true;
    p.DiskSpan = true;
    p.Backuptype = 9;
    const auto top = ReportHeaderTop({&p, {"/a/", "/b/"}, "/ziel/", "daten.zip", 0.0});
    const std::vector<std::string> expected = {
        "============================================================",
        "Profil                : FTP",
        "============================================================",
        "Quelle                : /a/",
        "Quelle                : /b/",
        "Ziel                  : FTP",
        "  FTP-Server          : ftp.example.org:2121",
        "  FTP-Übertragungsart : Binär",
        "  FTP-Modus           : Passiv",
        "Ziel                  : /ziel/ (Zip: daten.zip)",
        "                        Über mehrere Medien verteilen",
    };
    EXPECT_EQ(top, expected);
    EXPECT_EQ(ReportHeaderBottom({&p, {}, "", "", 0.0}).front(), "Modus                 : ");

    ReportFooterData footer{&p, false, {}, at(10, 0, 0), at(10, 0, 1)};
    auto lines = ReportFooter(footer);
    EXPECT_EQ(lines.front(), "Verzeichn. durchsucht : 0"); // no rule without any log setting
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.rfind("Komprimierungsrate", 0) == 0; }),
              0); // spanning has no rate
    p.DiskSpan = false;
    for (const auto& [rate, text] : std::vector<std::pair<int, std::string>>{{42, "42%"}, {0, "-"}, {-7575, "-"}}) {
        footer.stats.compressionRate = rate;
        lines = ReportFooter(footer);
        EXPECT_NE(std::find(lines.begin(), lines.end(), "Komprimierungsrate    : " + text), lines.end()) << rate;
    }
}

} // namespace
