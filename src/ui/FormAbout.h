#pragma once
// The about box: the product, its version and the maker's web site.
#include <QDialog>

class Platform;
class QGroupBox;
class QLabel;
class QPushButton;

class TFormAbout : public QDialog {
    Q_OBJECT
public:
    explicit TFormAbout(Platform &platform, QWidget *parent = nullptr);

    // 版本：Ver<version>
    void setVersion(const QString &version);
    // The link's target goes to the desktop's browser.
    void LinkLabel1LinkClick(const QString &link);

private:
    Platform &platform;
    QGroupBox *GroupBox5;
    QLabel *Label2;
    QLabel *LabelVersion;
    QLabel *LinkLabel1;
    QPushButton *ButtonOK;
};

// Creates the box on first use (owned by `owner`, kept until the owner goes), sets its
// version line to 版本：Ver<version> and shows it modally.
void ShowAboutBox(Platform &platform, TFormAbout *&form, QWidget *owner, const QString &version);
