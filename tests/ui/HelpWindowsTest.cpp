// The Help and What Next windows: made once, shown beside the main window, text reloaded on every press.
#include "support/GuiFixture.h"

#include "ui/HelpWindow.h"
#include "ui/HelpWindows.h"
#include "ui/WhatNextWindow.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

using namespace darv;
using namespace darv::test;

namespace {

QByteArray rtf(const char* words)
{
    return QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ") + words + "\\par}";
}

// The main window's stand-in with the two buttons' owner over a fresh data folder.
struct Rig
{
    DataFolder data;
    RecordingMessages messages;
    QWidget owner;
    HelpWindows windows{&owner, [this] { return data.str(); }, messages};
};

int topLevelCount(const char* objectName)
{
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String(objectName))
            ++count;
    return count;
}

} // namespace

class HelpWindowsTest : public QObject
{
    Q_OBJECT
private slots:
    void helpPressedTwiceIsOneWindowReloaded();
    void helpWithoutFileShowsNotice();
    void whatNextReopenedShowsChangedFile();
    void missingWhatNextGivesMessageOnEveryPress();
    void form2loadKnowsOnlyWhatNext();
};

void HelpWindowsTest::helpPressedTwiceIsOneWindowReloaded()
{
    Rig rig;
    rig.owner.show();
    QVERIFY(!rig.windows.helpWindow());
    rig.data.write(QStringLiteral("resources/Darv2007.rtf"), rtf("First help"));
    rig.windows.cmdHelp_Click();
    frmHelp* help = rig.windows.helpWindow();
    QVERIFY(help);
    QVERIFY(help->isVisible());
    QVERIFY(help->isWindow());
    QCOMPARE(help->windowModality(), Qt::NonModal);
    QVERIFY(rig.owner.isEnabled());
    QCOMPARE(help->windowTitle(), QStringLiteral("DARV 2007 Help"));
    QCOMPARE(help->cmdExit->text(), QStringLiteral("Exit"));
    QCOMPARE(help->RichTextBox1->toPlainText(), QStringLiteral("First help"));

    rig.data.write(QStringLiteral("resources/Darv2007.rtf"), rtf("Second help"));
    rig.windows.cmdHelp_Click();
    QCOMPARE(rig.windows.helpWindow(), help);
    QCOMPARE(topLevelCount("frmHelp"), 1);
    QCOMPARE(help->RichTextBox1->toPlainText(), QStringLiteral("Second help"));

    // Exit only hides; the next press brings the same window back with the current file.
    help->cmdExit->click();
    QVERIFY(!help->isVisible());
    QCOMPARE(help->RichTextBox1->toPlainText(), QStringLiteral("Second help"));
    rig.data.write(QStringLiteral("resources/Darv2007.rtf"), rtf("Third help"));
    rig.windows.cmdHelp_Click();
    QCOMPARE(rig.windows.helpWindow(), help);
    QVERIFY(help->isVisible());
    QCOMPARE(help->RichTextBox1->toPlainText(), QStringLiteral("Third help"));
    QVERIFY(rig.messages.shown.empty());
}

void HelpWindowsTest::helpWithoutFileShowsNotice()
{
    Rig rig;
    rig.data.write(QStringLiteral("resources/Darv2007.rtf"), rtf("Old text"));
    rig.windows.cmdHelp_Click();
    QVERIFY(QFile::remove(rig.data.file(QStringLiteral("resources/Darv2007.rtf"))));
    rig.windows.cmdHelp_Click();
    QCOMPARE(rig.windows.helpWindow()->RichTextBox1->toPlainText(), QStringLiteral("Help file not found..."));
    QVERIFY(rig.windows.helpWindow()->isVisible());
    QVERIFY(rig.messages.shown.empty());
}

void HelpWindowsTest::whatNextReopenedShowsChangedFile()
{
    Rig rig;
    rig.data.write(QStringLiteral("resources/whatnext.rtf"), rtf("Talk to both students"));
    rig.windows.cmdWhatnext_Click();
    WhatNext* window = rig.windows.whatNextWindow();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QCOMPARE(window->windowModality(), Qt::NonModal);
    QCOMPARE(window->windowTitle(), QStringLiteral("What Next?"));
    QCOMPARE(window->cmdClose->text(), QStringLiteral("Close"));
    QCOMPARE(window->Label2->text(),
             QStringLiteral("Full help file (DARV2006.rtf) as displayed by selecting HELP on the main screen is "
                            "available in the \\Resources folder for further reference and printing."));
    QCOMPARE(window->RichTextBox1->toPlainText(), QStringLiteral("Talk to both students"));

    window->cmdClose->click();
    QVERIFY(!window->isVisible());
    rig.data.write(QStringLiteral("resources/whatnext.rtf"), rtf("Compare the drawings again"));
    rig.windows.cmdWhatnext_Click();
    QCOMPARE(rig.windows.whatNextWindow(), window);
    QCOMPARE(topLevelCount("WhatNext"), 1);
    QVERIFY(window->isVisible());
    QCOMPARE(window->RichTextBox1->toPlainText(), QStringLiteral("Compare the drawings again"));
    QVERIFY(rig.messages.shown.empty());
}

void HelpWindowsTest::missingWhatNextGivesMessageOnEveryPress()
{
    Rig rig;
    for (int press = 1; press <= 2; ++press) {
        rig.windows.cmdWhatnext_Click();
        QCOMPARE(rig.messages.shown.size(), size_t(press));
        const ShownMessage& shown = rig.messages.shown.back();
        QCOMPARE(shown.icon, MessageIcon::Critical);
        QCOMPARE(shown.title, std::string("Darv2007"));
        QCOMPARE(shown.text, std::string("Whatnext.rtf unavailable!"));
        QVERIFY(rig.windows.whatNextWindow()->isVisible());
        QCOMPARE(rig.windows.whatNextWindow()->RichTextBox1->toPlainText(), QString());
    }

    // Once loaded, a file that goes missing leaves the last text in place.
    rig.data.write(QStringLiteral("resources/whatnext.rtf"), rtf("Keep this"));
    rig.windows.cmdWhatnext_Click();
    QCOMPARE(rig.messages.shown.size(), size_t(2));
    QVERIFY(QFile::remove(rig.data.file(QStringLiteral("resources/whatnext.rtf"))));
    rig.windows.cmdWhatnext_Click();
    QCOMPARE(rig.messages.shown.size(), size_t(3));
    QCOMPARE(rig.windows.whatNextWindow()->RichTextBox1->toPlainText(), QStringLiteral("Keep this"));
}

void HelpWindowsTest::form2loadKnowsOnlyWhatNext()
{
    Rig rig;
    rig.data.write(QStringLiteral("resources/whatnext.rtf"), rtf("Advice"));
    WhatNext window([&rig] { return rig.data.str(); }, rig.messages);
    window.form2load(QStringLiteral("Help"));
    QCOMPARE(window.RichTextBox1->toPlainText(), QString());
    window.form2load(QStringLiteral("WhatNext"));
    QCOMPARE(window.RichTextBox1->toPlainText(), QStringLiteral("Advice"));
    QVERIFY(rig.messages.shown.empty());
}

DARV_GUI_TEST_MAIN(HelpWindowsTest)
#include "HelpWindowsTest.moc"
