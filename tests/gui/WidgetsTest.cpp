// The building blocks: the digit filter, page hosting, the splash and the autostart entry.
#include "GuiTestSupport.h"
#include "platform/desktop/Autostart.h"
#include "ui/DigitControl.h"
#include "ui/PanelHosting.h"
#include "ui/Splash.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct FilterCase {
    const char* typed;
    const char* kept;
    bool typeable = true; // printable ASCII that QTest can type key by key
};

TEST(DigitControl, KeepsDigitsAndMinusWhateverTheWayTextArrives) {
    const FilterCase cases[] = {{"123", "123"},
                                {"-5", "-5"},
                                {"a1b2", "12"},
                                {"12.5", "125"},
                                {" 7 ", "7"},
                                {"--3", "--3"},
                                {"x", ""},
                                {"+9", "9"},
                                {"\t1\n", "1", false},
                                {"\u0663"
                                 "4",
                                 "4", false}};
    for (const FilterCase& c : cases) {
        SCOPED_TRACE(c.typed);
        const QString typed = QString::fromUtf8(c.typed);
        if (c.typeable) {
            QLineEdit typedInto;
            typedInto.setValidator(new TDigitControl(&typedInto));
            QTest::keyClicks(&typedInto, typed);
            EXPECT_EQ(typedInto.text(), QString::fromUtf8(c.kept)) << "typed";
        }

        QLineEdit pastedInto; // paste and drop both arrive as one insertion
        pastedInto.setValidator(new TDigitControl(&pastedInto));
        pastedInto.setText(QStringLiteral("0"));
        pastedInto.end(false);
        pastedInto.insert(typed);
        EXPECT_EQ(pastedInto.text(), QStringLiteral("0") + QString::fromUtf8(c.kept)) << "pasted";
    }
}

TEST(DigitControl, CursorStaysAfterTheKeptText) {
    TDigitControl filter;
    QString text = QStringLiteral("1a2b");
    int pos = 3; // after "1a2"
    EXPECT_EQ(filter.validate(text, pos), QValidator::Acceptable);
    EXPECT_EQ(text, QStringLiteral("12"));
    EXPECT_EQ(pos, 2);
}

TEST(DigitControl, BackspaceStillEdits) {
    QLineEdit edit;
    edit.setValidator(new TDigitControl(&edit));
    QTest::keyClicks(&edit, QStringLiteral("-45"));
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), QStringLiteral("-4"));
}

class PanelHosting : public ::testing::Test {
protected:
    void SetUp() override {
        panel.resize(763, 317);
        panel.show();
        page.resize(200, 100);
    }
    QWidget panel;
    QWidget page;
};

TEST_F(PanelHosting, ModesPlaceTheForm) {
    YnqUtils::PlaceFormInPanel(&page, &panel, YnqUtils::kPlaceFill);
    EXPECT_EQ(page.geometry(), QRect(0, 0, 763, 317));
    page.resize(200, 100);
    YnqUtils::PlaceFormInPanel(&page, &panel, YnqUtils::kPlaceCentred);
    EXPECT_EQ(page.geometry(), QRect((763 - 200) / 2, (317 - 100) / 2, 200, 100));
    page.move(10, 20);
    YnqUtils::PlaceFormInPanel(&page, &panel, YnqUtils::kPlaceTopLeft);
    EXPECT_EQ(page.pos(), QPoint(0, 0));
    page.move(33, 44);
    YnqUtils::PlaceFormInPanel(&page, &panel, 7); // any other mode keeps the position
    EXPECT_EQ(page.pos(), QPoint(33, 44));
    EXPECT_EQ(page.parentWidget(), &panel);
    EXPECT_TRUE(page.isVisible());
    EXPECT_TRUE(panel.isVisible());
}

TEST_F(PanelHosting, CentredNeverGoesLeftOfOrAboveThePanel) {
    page.resize(900, 400); // larger than the panel
    YnqUtils::PlaceFormInPanel(&page, &panel, YnqUtils::kPlaceCentred);
    EXPECT_EQ(page.pos(), QPoint(0, 0));
}

TEST_F(PanelHosting, HostingDetachesThePreviousPageWithoutDestroyingIt) {
    QPointer<QWidget> first = new QWidget;
    YnqUtils::PlaceFormInPanel(first, &panel, YnqUtils::kPlaceFill);
    YnqUtils::PlaceFormInPanel(&page, &panel, YnqUtils::kPlaceFill);
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first->parentWidget(), nullptr);
    EXPECT_TRUE(first->isHidden());
    EXPECT_EQ(panel.findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(), 1);
    YnqUtils::ClearPanel(&panel);
    EXPECT_TRUE(panel.findChildren<QWidget*>(Qt::FindDirectChildrenOnly).isEmpty());
    EXPECT_EQ(page.parentWidget(), nullptr);
    delete first.data();
}

TEST(Splash, ShowsProgressAndOneOfItsPictures) {
    struct Draw {
        int draw;
        bool firstShown;
    };
    for (const Draw d : {Draw{0, true}, Draw{50, true}, Draw{51, false}, Draw{99, false}}) {
        SCOPED_TRACE(d.draw);
        TfmnoxSplash splash(nullptr, d.draw);
        EXPECT_EQ(splash.Splash_img1->isHidden(), !d.firstShown);
        EXPECT_EQ(splash.Splash_img2->isHidden(), d.firstShown);
    }
    TfmnoxSplash splash(nullptr, 10);
    EXPECT_EQ(splash.size(), QSize(683, 423));
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(splash.JvLabel2->geometry(), QRect(272, 239, 217, 33));
    EXPECT_EQ(splash.JvXPProgressBar1->geometry(), QRect(224, 288, 265, 33));
    EXPECT_EQ(splash.JvXPProgressBar1->minimum(), 1);
    EXPECT_EQ(splash.JvXPProgressBar1->maximum(), 100);
    splash.ShowProgress(45);
    EXPECT_EQ(splash.JvLabel2->text(), QStringLiteral("Загрузка 45%"));
    EXPECT_EQ(splash.JvXPProgressBar1->value(), 45);
    EXPECT_TRUE(splash.isVisible());
    EXPECT_FALSE(guitest::SaveScreenshot(splash, QStringLiteral("splash")).isEmpty());
    TfmnoxSplash other(nullptr, 80);
    other.ShowProgress(70);
    EXPECT_FALSE(guitest::SaveScreenshot(other, QStringLiteral("splash_second_picture")).isEmpty());
}

class AutostartEntry : public ::testing::Test {
protected:
    QTemporaryDir home;
    platform::Autostart autostart{home.path()};
    const QString name = QStringLiteral("noxQuivraCPL");
};

TEST_F(AutostartEntry, WritesAndDeletesTheXdgEntry) {
    EXPECT_FALSE(autostart.IsAutoRun(name));
    ASSERT_TRUE(autostart.SetAutoRun(name, true, QStringLiteral("/opt/quivra/quivra-cc")));
    EXPECT_TRUE(autostart.IsAutoRun(name));
    EXPECT_EQ(autostart.EntryPath(name),
              home.path() + QStringLiteral("/autostart/noxQuivraCPL.desktop"));
    QFile file(autostart.EntryPath(name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString entry = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(entry.startsWith(QStringLiteral("[Desktop Entry]\n")));
    EXPECT_TRUE(entry.contains(QStringLiteral("\nType=Application\n")));
    EXPECT_TRUE(entry.contains(QStringLiteral("\nExec=\"/opt/quivra/quivra-cc\" -TRAY\n")));
    ASSERT_TRUE(autostart.SetAutoRun(name, false, QString()));
    EXPECT_FALSE(autostart.IsAutoRun(name));
    EXPECT_TRUE(autostart.SetAutoRun(name, false, QString())) << "deleting twice is fine";
}

TEST_F(AutostartEntry, AnUnwritableFolderFailsAndReadsAsOff) {
    QFile blocker(home.filePath(QStringLiteral("autostart")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    EXPECT_FALSE(autostart.SetAutoRun(name, true, QStringLiteral("/x/quivra-cc")));
    EXPECT_FALSE(autostart.lastError().isEmpty());
    EXPECT_FALSE(autostart.IsAutoRun(name));
}

TEST(AutostartExecLine, QuotesReservedCharacters) {
    struct Case {
        const char* path;
        const char* exec;
    };
    const Case cases[] = {
        {"/opt/q/quivra-cc", R"("/opt/q/quivra-cc" -TRAY)"},
        {"/home/a b/quivra-cc", R"("/home/a b/quivra-cc" -TRAY)"},
        {"/x/$HOME/q", R"("/x/\\$HOME/q" -TRAY)"},
        {"/x/a\"b", R"("/x/a\\"b" -TRAY)"},
        {"/x/50%/q", R"("/x/50%%/q" -TRAY)"},
        {"/x/back\\slash", R"("/x/back\\\\slash" -TRAY)"},
        {"/x/`tick`", R"("/x/\\`tick\\`" -TRAY)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(platform::Autostart::ExecLine(QString::fromUtf8(c.path)),
                  QString::fromUtf8(c.exec));
    }
}

} // namespace
