#include "AboutUs.h"

#include "About.h"
#include "Layout.h"
#include "Publisher.h"
#include "QtText.h"
#include "Texts.h"
#include "WebLink.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <functional>

namespace {

// A label that runs an action when clicked.
class TLinkLabel final : public QLabel {
public:
    TLinkLabel(QWidget* parent, std::function<void()> action)
        : QLabel(parent), action_(std::move(action)) {
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
            action_();
        }
        QLabel::mouseReleaseEvent(event);
    }

private:
    std::function<void()> action_;
};

void OpenPublisherPage() {
    platform::OpenWebAddress(publisher::WebAddress());
}

} // namespace

QPixmap CompanyLogo(int width, int height) {
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, width, height);
    gradient.setColorAt(0, QColor(0x1f, 0x5f, 0xbf));
    gradient.setColorAt(1, QColor(0x0b, 0x2f, 0x6f));
    painter.setBrush(gradient);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(1, 1, width - 2, height - 2), 6, 6);
    // A ".com" tag at the left, the publisher's name at the right.
    painter.setBrush(QColor(0xf2, 0xb1, 0x34));
    painter.drawEllipse(QRectF(6, height / 2.0 - 13, 26, 26));
    QFont font(QStringLiteral("SimSun"));
    font.setPixelSize(9);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(0x0b, 0x2f, 0x6f));
    painter.drawText(QRectF(6, height / 2.0 - 13, 26, 26), Qt::AlignCenter, QStringLiteral(".com"));
    font.setPixelSize(18);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(38, 0, width - 42, height), Qt::AlignVCenter | Qt::AlignLeft,
                     QStringLiteral("Kestrova"));
    return pixmap;
}

TAboutForm::TAboutForm(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(Q(about::Caption()));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(layout::kAboutWidth, layout::kAboutHeight);
    QFont font(QString::fromLatin1(layout::kFontFace));
    font.setPixelSize(layout::kFontPixels);
    setFont(font);
    QPalette black = palette();
    black.setColor(QPalette::WindowText, Qt::black);
    setPalette(black);

    auto* bevel = new QFrame(this);
    bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    bevel->setGeometry(layout::kAboutBevel.x, layout::kAboutBevel.y, layout::kAboutBevel.width,
                       layout::kAboutBevel.height);
    CompanyImg = new TLinkLabel(this, OpenPublisherPage);
    CompanyImg->setObjectName(QStringLiteral("CompanyImg"));
    CompanyImg->setGeometry(layout::kAboutLogo.x, layout::kAboutLogo.y, layout::kAboutLogo.width,
                            layout::kAboutLogo.height);
    CompanyImg->setPixmap(CompanyLogo(layout::kAboutLogo.width, layout::kAboutLogo.height));

    SoftNameLbl = new QLabel(this);
    SoftNameLbl->setObjectName(QStringLiteral("SoftNameLbl"));
    QFont nameFont = font;
    nameFont.setPixelSize(layout::kAboutNameFontPixels);
    nameFont.setBold(true);
    SoftNameLbl->setFont(nameFont);
    QPalette red = SoftNameLbl->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    SoftNameLbl->setPalette(red);
    SoftNameLbl->move(layout::kAboutName.x, layout::kAboutName.y);

    VersionLbl = new QLabel(this);
    VersionLbl->setObjectName(QStringLiteral("VersionLbl"));
    VersionLbl->move(layout::kAboutVersion.x, layout::kAboutVersion.y);
    DateLbl = new QLabel(this);
    DateLbl->setObjectName(QStringLiteral("DateLbl"));
    DateLbl->move(layout::kAboutDate.x, layout::kAboutDate.y);
    WebSiteLbl = new TLinkLabel(this, OpenPublisherPage);
    WebSiteLbl->setObjectName(QStringLiteral("WebSiteLbl"));
    QPalette blue = WebSiteLbl->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    WebSiteLbl->setPalette(blue);
    WebSiteLbl->move(layout::kAboutWebSite.x, layout::kAboutWebSite.y);

    NoticeLbl = new QLabel(this);
    NoticeLbl->setObjectName(QStringLiteral("NoticeLbl"));
    NoticeLbl->setGeometry(layout::kAboutNotice.x, layout::kAboutNotice.y,
                           layout::kAboutNotice.width, layout::kAboutNotice.height);
    NoticeLbl->setAutoFillBackground(true);
    NoticeLbl->setBackgroundRole(QPalette::Button);
    NoticeLbl->setAlignment(Qt::AlignCenter);

    CloseBt = new QPushButton(Q(about::CloseCaption()), this);
    CloseBt->setObjectName(QStringLiteral("CloseBt"));
    CloseBt->setGeometry(layout::kAboutClose.x, layout::kAboutClose.y, layout::kAboutClose.width,
                         layout::kAboutClose.height);
    CloseBt->setCursor(Qt::PointingHandCursor);
    CloseBt->setDefault(true); // Enter closes; Escape closes any dialog
    connect(CloseBt, &QPushButton::clicked, this, &QDialog::accept);

    // The texts, before the box is shown.
    SoftNameLbl->setText(Q(about::ProductName()));
    VersionLbl->setText(Q(about::VersionLabel()));
    DateLbl->setText(Q(about::ReleaseLabel(about::ReleaseDate())));
    WebSiteLbl->setText(Q(publisher::WebAddress()));
    NoticeLbl->setText(Q(about::Notice()));
    for (QLabel* label : {SoftNameLbl, VersionLbl, DateLbl, WebSiteLbl}) {
        label->adjustSize();
    }
    // The notice field grows to the right where its text needs it: the row is
    // free up to the close button.
    const int noticeWidth = NoticeLbl->fontMetrics().horizontalAdvance(NoticeLbl->text()) + 8;
    NoticeLbl->resize(
        std::clamp(noticeWidth, layout::kAboutNotice.width, CloseBt->x() - NoticeLbl->x() - 8),
        layout::kAboutNotice.height);
    CloseBt->setFocus();
}

void ShowAboutBox(QWidget* owner) {
    auto* box = new TAboutForm(owner);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Centred on the screen the main window is on.
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        box->move(screen->availableGeometry().center() -
                  QPoint(layout::kAboutWidth / 2, layout::kAboutHeight / 2));
    }
    box->exec();
}
