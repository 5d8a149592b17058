// The options dialog over a real program: every control to the settings and back into a dialog
// opened again, the choices that apply at once and stay on cancel, the autostart entry, the log
// deletion and the refused log sizes.

#include "ui/OptionsDialog.h"

#include "UserInput.h"
#include "WindowFixture.h"
#include "app/QtSettingsStore.h"
#include "ui/MainActions.h"
#include "ui/MainWindow.h"
#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <fstream>

class OptionsDialogTest : public WindowFixture
{
protected:
    void TearDown() override
    {
        GuiFrontEnd::optionsHook() = nullptr;
        MessageBoxes::clearAnswers();
        WindowFixture::TearDown();
    }
    /// Opens the options through the main window's command; drive works on the dialog.
    void withOptions(const std::function<void(OptionsDialog&)>& drive)
    {
        GuiFrontEnd::optionsHook() = [&](OptionsDialog& dialog) {
            dialog.show();
            drive(dialog);
        };
        window().actions().Options->trigger();
        GuiFrontEnd::optionsHook() = nullptr;
    }
    static void Type(QWidget* field, const QString& text)
    {
        field->setFocus();
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, text);
    }
};

TEST_F(OptionsDialogTest, EveryControlReachesItsSettingAndComesBack)
{
    start({});
    showActive();
    ASSERT_TRUE(window().actions().Options->isEnabled());
    withOptions([&](OptionsDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Optionen");
        EXPECT_TRUE(d.RBnostart->isChecked());
        EXPECT_FALSE(d.SPEWait->isEnabled());
        EXPECT_EQ(d.EDSize->text(), "1000");
        EXPECT_EQ(d.MEFTPTransferEXT->toPlainText().toStdString(),
                  "*.txt\n*.htm\n*.html\n*.shtml\n*.ascii\n*.css\n*.cgi\n*.conf\n*.pl\n*.ini");
        Click(d.RBStartup);
        EXPECT_TRUE(d.SPEWait->isEnabled());
        Type(d.SPEWait, "25");
        Type(d.EDSize, "5000");
        d.CHBAll->click();
        d.CHBError->click();
        d.CHBShowError->click();
        d.TRBPriority->setValue(1);
        d.CHBHidden->click();
        d.TRBCompression->setValue(9);
        Type(d.MEFTPTransferEXT, "*.txt");
        QTest::keyClick(d.MEFTPTransferEXT, Qt::Key_Return);
        QTest::keyClicks(d.MEFTPTransferEXT, "*.mit blank");
        d.CHBAutoUpdate->click();
        EXPECT_TRUE(d.SPEAutoUpdateNext->isEnabled());
        Type(d.SPEAutoUpdateNext, "30");
        Type(d.EDAutoUpdateProxy, "proxy:3128");
        QTest::mouseClick(d.BTOk, Qt::LeftButton);
    });
    const ProgramSettings& s = program().settings();
    EXPECT_EQ(s.LogSize, 5000);
    EXPECT_EQ(s.WaitAfterAutostart, 25);
    EXPECT_TRUE(s.LogAll);
    EXPECT_FALSE(s.LogError);
    EXPECT_TRUE(s.ShowError); // the fixture switched it off
    EXPECT_EQ(s.Priority, 1);
    EXPECT_FALSE(s.Hidden);
    EXPECT_EQ(s.Compression, 9);
    EXPECT_EQ(s.FTPTransferEXT, "*.txt,\"*.mit blank\"");
    EXPECT_TRUE(s.AutoUpdate);
    EXPECT_EQ(s.AutoUpdateNext, 30);
    EXPECT_EQ(s.AutoUpdateProxy, "proxy:3128");
    // The autostart entry is written at once; the program finds it registered.
    EXPECT_TRUE(program().Autostart());
    // So are the settings: nothing waits for the end of the program, which a kill would skip.
    {
        std::ifstream file(m_data / "settings.ini");
        const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        for (const char* line : {"LogSize=5000\n", "WaitAfterAutostart=25\n", "AutoUpdateNext=30\n"})
            EXPECT_NE(text.find(line), std::string::npos) << line << text;
    }

    // Opened again, the dialog shows what was stored; OK without changes keeps the entry.
    withOptions([&](OptionsDialog& d) {
        EXPECT_TRUE(d.RBStartup->isChecked());
        EXPECT_EQ(d.SPEWait->value(), 25);
        EXPECT_EQ(d.EDSize->text(), "5000");
        EXPECT_TRUE(d.CHBAll->isChecked());
        EXPECT_FALSE(d.CHBHidden->isChecked());
        EXPECT_EQ(d.TRBCompression->value(), 9);
        EXPECT_EQ(d.MEFTPTransferEXT->toPlainText(), "*.txt\n*.mit blank");
        EXPECT_EQ(d.EDAutoUpdateProxy->text(), "proxy:3128");
        QTest::mouseClick(d.BTOk, Qt::LeftButton);
    });
    EXPECT_TRUE(program().Autostart());
    withOptions([&](OptionsDialog& d) {
        Click(d.RBnostart);
        QTest::mouseClick(d.BTOk, Qt::LeftButton);
    });
    EXPECT_FALSE(program().Autostart());

    // Written to settings.ini at the next save point.
    program().SaveSettings();
    QtSettingsStore store((m_data / "settings.ini").string());
    EXPECT_EQ(ReadProgramSettings(store).LogSize, 5000);
}

TEST_F(OptionsDialogTest, LanguageAndLooksApplyAtOnceAndStayOnCancel)
{
    start({copyProfile("Eins")});
    showActive();
    withOptions([&](OptionsDialog& d) {
        d.CHBAll->click();
        d.CBSprache->setCurrentIndex(1);
        EXPECT_EQ(window().actions().New->text(), "&New...");
        // The dialog speaks the new language too, with the values shown before.
        QApplication::processEvents();
        EXPECT_EQ(d.windowTitle(), "Options");
        EXPECT_EQ(d.CHBAll->text(), "Log the backup of every single file");
        EXPECT_TRUE(d.CHBAll->isChecked());
        EXPECT_EQ(d.CBSprache->currentIndex(), 1);
        EXPECT_FALSE(d.RGColors->button(0)->isEnabled() && d.RGSkins->checkedId() == 0);
        d.RGSkins->button(0)->click();
        EXPECT_FALSE(d.RGColors->button(1)->isEnabled());
        d.RGSkins->button(2)->click();
        d.RGColors->button(1)->click();
        Type(d.EDSize, "123");
        QTest::mouseClick(d.BTCancel, Qt::LeftButton);
    });
    EXPECT_EQ(program().settings().Language, 1);
    EXPECT_EQ(program().settings().MenuStyle, 2);
    EXPECT_EQ(program().settings().MenuColor, 1);
    EXPECT_EQ(frontEnd().presentation().language(), 1);
    EXPECT_EQ(program().settings().LogSize, 1000); // cancelled: the rest stays
}

TEST_F(OptionsDialogTest, ALogSizeThatIsNoSensibleNumberIsRefused)
{
    start({});
    showActive();
    for (const char* typed : {"abc", "-5", "0", "12 MB", "99999999999", ""}) {
        SCOPED_TRACE(typed);
        withOptions([&](OptionsDialog& d) {
            Type(d.EDSize, typed);
            MessageBoxes::answeredTexts().clear();
            MessageBoxes::setNextAnswer(QMessageBox::Ok);
            QTest::mouseClick(d.BTOk, Qt::LeftButton);
            ASSERT_EQ(MessageBoxes::answeredTexts().size(), 1u);
            EXPECT_EQ(MessageBoxes::answeredTexts().front(),
                      "Die maximale Größe des Protokolls muss eine Zahl von 1 bis 2000000 (kB) sein.");
            EXPECT_TRUE(d.isVisible());
            EXPECT_EQ(d.Pages->currentIndex(), 1);
            d.reject();
        });
        EXPECT_EQ(program().settings().LogSize, 1000);
    }
}

TEST_F(OptionsDialogTest, DeletingTheLogAsksFirst)
{
    start({});
    showActive();
    std::ofstream(program().logPath()) << "Bericht\r\n";
    withOptions([&](OptionsDialog& d) {
        MessageBoxes::setNextAnswer(QMessageBox::No);
        d.BTDeleteLog->click();
        EXPECT_TRUE(std::filesystem::exists(program().logPath()));
        MessageBoxes::setNextAnswer(QMessageBox::Yes);
        d.BTDeleteLog->click();
        EXPECT_FALSE(std::filesystem::exists(program().logPath()));
        d.reject();
    });
}
