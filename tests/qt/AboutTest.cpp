#include "About.h"
#include "AboutUs.h"
#include "Publisher.h"
#include "WindowHarness.h"

#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

using testing_support::G;
using testing_support::WindowHarness;

namespace {

// Runs inspect on the About box once it is up, then presses key in it.
void WithAboutBox(const std::function<void(TAboutForm*)>& inspect, Qt::Key key) {
    QTimer::singleShot(0, [=] {
        auto check = std::make_shared<std::function<void()>>();
        *check = [=] {
            auto* box = qobject_cast<TAboutForm*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                QTimer::singleShot(10, *check);
                return;
            }
            inspect(box);
            QTest::keyClick(box, key);
        };
        (*check)();
    });
}

std::string LabelText(TAboutForm* box, const char* name) {
    auto* label = box->findChild<QLabel*>(QString::fromLatin1(name));
    return label ? Gbk(label->text()) : std::string("<missing>");
}

} // namespace

TEST(AboutBox, ShowsItsTextsAndClosesWithEscapeOrEnter) {
    WindowHarness w;
    w.window->move(0, 0);
    std::vector<TAboutForm*> seen;
    WithAboutBox(
        [&](TAboutForm* box) {
            seen.push_back(box);
            EXPECT_EQ(Gbk(box->windowTitle()), G("关于"));
            EXPECT_EQ(box->size(), QSize(415, 165));
            EXPECT_EQ(LabelText(box, "SoftNameLbl"), "Vantreel");
            EXPECT_EQ(LabelText(box, "VersionLbl"), G("发行版本:1.08"));
            EXPECT_EQ(LabelText(box, "DateLbl"), G("发行日期:2009年02月出品"));
            EXPECT_EQ(LabelText(box, "WebSiteLbl"), "https://kestrova.example");
            auto* close = box->findChild<QPushButton*>(QStringLiteral("CloseBt"));
            ASSERT_NE(close, nullptr);
            EXPECT_EQ(close->text(), U("关闭"));
            EXPECT_TRUE(close->isDefault());
            EXPECT_EQ(box->focusWidget(), close);
            // Every text shows whole inside the box and its own field.
            for (QLabel* label : box->findChildren<QLabel*>()) {
                if (label->text().isEmpty()) {
                    continue; // the logo
                }
                const int needed = label->fontMetrics().horizontalAdvance(label->text());
                EXPECT_LE(needed, label->contentsRect().width()) << Gbk(label->text());
                EXPECT_LE(label->geometry().right(), box->width() - 1) << Gbk(label->text());
            }
            // Centred on the screen, not on the main window (moved to a corner).
            const QRect screen = box->screen()->availableGeometry();
            EXPECT_LE((box->geometry().center() - screen.center()).manhattanLength(), 40);
        },
        Qt::Key_Escape);
    w.Click("xAboutBt");
    WithAboutBox([&](TAboutForm* box) { seen.push_back(box); }, Qt::Key_Return);
    w.Click("xAboutBt");
    ASSERT_EQ(seen.size(), 2u);
    // Each box was destroyed when it closed.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.window->findChildren<TAboutForm*>().isEmpty());
}

TEST(AboutBox, ReleaseLabelShowsYearAndMonthOnly) {
    EXPECT_EQ(about::ReleaseLabel("20090208"), G("发行日期:2009年02月出品"));
    EXPECT_EQ(about::ReleaseLabel("19991231"), G("发行日期:1999年12月出品"));
}

TEST(Publisher, AddressesAssembleFromTheirSlices) {
    EXPECT_EQ(publisher::WebAddress(), "https://kestrova.example");
    EXPECT_EQ(publisher::WebHost(), "kestrova.example");
    EXPECT_EQ(publisher::HelpAddress(platform::FilePath::FromNative("/opt/vantreel/")),
              "file:///opt/vantreel/help/index.html");
    EXPECT_EQ(publisher::HelpAddress(platform::FilePath::FromNative("/opt/Björn #1/")),
              "file:///opt/Bj%C3%B6rn%20%231/help/index.html");
    const publisher::Slice slices[] = {{3, 2}, {0, 3}};
    EXPECT_EQ(publisher::Assemble("lloHe", slices, 2), "Hello");
}
