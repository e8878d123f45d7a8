#pragma once

#include <QDialog>

#include <string>

class QLabel;
class QPushButton;

// The About box: product name, version, release month, the publisher's logo
// and web address, and a close button.
class TAboutForm final : public QDialog {
    Q_OBJECT

public:
    explicit TAboutForm(QWidget* owner);

private:
    QLabel* CompanyImg = nullptr;
    QLabel* SoftNameLbl = nullptr;
    QLabel* VersionLbl = nullptr;
    QLabel* DateLbl = nullptr;
    QLabel* WebSiteLbl = nullptr;
    QLabel* NoticeLbl = nullptr;
    QPushButton* CloseBt = nullptr;
};

// Creates a new About box owned by owner, shows it modally and destroys it.
void ShowAboutBox(QWidget* owner);

// The publisher's logo, drawn by the program.
QPixmap CompanyLogo(int width, int height);
