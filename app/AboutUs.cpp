#include "AboutUs.h"

#include "Publisher.h"
#include "QtText.h"
#include "Texts.h"
#include "WebLink.h"

#include <QFrame>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include <functional>

namespace {

VT_TEXT(ReleaseDate, "20090208")
VT_TEXT(Notice, "本软件为免费软件，欢迎传播。")

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

std::string TAboutForm::ReleaseLabel(const std::string& releaseDate) {
    return platform::Utf8ToGbk("发行日期:") + releaseDate.substr(0, 4) + platform::Utf8ToGbk("年") +
           releaseDate.substr(4, 2) + platform::Utf8ToGbk("月出品");
}

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
    setWindowTitle(U("关于"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(415, 165);
    QFont font(QStringLiteral("SimSun"));
    font.setPixelSize(14);
    setFont(font);
    setStyleSheet(QStringLiteral("QLabel { color: black; }"));

    auto* bevel = new QFrame(this);
    bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    bevel->setGeometry(12, 9, 165, 45);
    CompanyImg = new TLinkLabel(this, OpenPublisherPage);
    CompanyImg->setObjectName(QStringLiteral("CompanyImg"));
    CompanyImg->setGeometry(14, 11, 161, 41);
    CompanyImg->setPixmap(CompanyLogo(161, 41));

    SoftNameLbl = new QLabel(this);
    SoftNameLbl->setObjectName(QStringLiteral("SoftNameLbl"));
    QFont nameFont = font;
    nameFont.setPixelSize(20);
    nameFont.setBold(true);
    SoftNameLbl->setFont(nameFont);
    SoftNameLbl->setStyleSheet(QStringLiteral("color: red"));
    SoftNameLbl->move(210, 12);

    VersionLbl = new QLabel(this);
    VersionLbl->setObjectName(QStringLiteral("VersionLbl"));
    VersionLbl->move(214, 40);
    DateLbl = new QLabel(this);
    DateLbl->setObjectName(QStringLiteral("DateLbl"));
    DateLbl->move(214, 61);
    WebSiteLbl = new TLinkLabel(this, OpenPublisherPage);
    WebSiteLbl->setObjectName(QStringLiteral("WebSiteLbl"));
    WebSiteLbl->setStyleSheet(QStringLiteral("color: blue"));
    WebSiteLbl->move(214, 104);

    NoticeLbl = new QLabel(this);
    NoticeLbl->setObjectName(QStringLiteral("NoticeLbl"));
    NoticeLbl->setGeometry(14, 131, 161, 22);
    NoticeLbl->setAutoFillBackground(true);
    NoticeLbl->setBackgroundRole(QPalette::Button);
    NoticeLbl->setAlignment(Qt::AlignCenter);

    CloseBt = new QPushButton(U("关闭"), this);
    CloseBt->setObjectName(QStringLiteral("CloseBt"));
    CloseBt->setGeometry(326, 130, 75, 25);
    CloseBt->setCursor(Qt::PointingHandCursor);
    CloseBt->setDefault(true); // Enter closes; Escape closes any dialog
    connect(CloseBt, &QPushButton::clicked, this, &QDialog::accept);

    // The texts, before the box is shown.
    SoftNameLbl->setText(QStringLiteral("Vantreel"));
    VersionLbl->setText(U("发行版本:1.08"));
    DateLbl->setText(Q(ReleaseLabel(ReleaseDate())));
    WebSiteLbl->setText(Q(publisher::WebAddress()));
    NoticeLbl->setText(Q(Notice()));
    for (QLabel* label : {SoftNameLbl, VersionLbl, DateLbl, WebSiteLbl}) {
        label->adjustSize();
    }
    CloseBt->setFocus();
}

void ShowAboutBox(QWidget* owner) {
    auto* box = new TAboutForm(owner);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (owner) {
        box->move(owner->geometry().center() - QPoint(415 / 2, 165 / 2));
    }
    box->exec();
}
