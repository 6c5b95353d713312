#include "ui/FormAbout.h"
#include "WindowFont.h"
#include "platform/Platform.h"
#include "update/UpdateCheck.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

TFormAbout::TFormAbout(Platform &platform, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      platform(platform)
{
    setObjectName(QStringLiteral("FormAbout"));
    setWindowTitle(QStringLiteral("关于"));
    setFont(WindowFont());
    setFixedSize(249, 125);

    // Inner margin 8 on every side; the button row below the group box.
    GroupBox5 = new QGroupBox(this);
    GroupBox5->setObjectName(QStringLiteral("GroupBox5"));
    GroupBox5->setGeometry(8, 8, 233, 76);

    const auto line = [this](const QString &name, int top) {
        auto *label = new QLabel(GroupBox5);
        label->setObjectName(name);
        label->setGeometry(2, top, 229, 20);
        label->setAlignment(Qt::AlignCenter);
        return label;
    };
    Label2 = line(QStringLiteral("Label2"), 8);
    Label2->setText(ProductTitle);
    QFont bold = Label2->font();
    bold.setBold(true);
    Label2->setFont(bold);
    LabelVersion = line(QStringLiteral("LabelVersion"), 30);
    LinkLabel1 = line(QStringLiteral("LinkLabel1"), 52);
    LinkLabel1->setText(QStringLiteral("<a href=\"%1\">%2</a>").arg(ProductHomePage, ProductWebSite));
    LinkLabel1->setTextFormat(Qt::RichText);
    LinkLabel1->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    LinkLabel1->setOpenExternalLinks(false);
    connect(LinkLabel1, &QLabel::linkActivated, this, &TFormAbout::LinkLabel1LinkClick);

    ButtonOK = new QPushButton(QStringLiteral("确定"), this);
    ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
    ButtonOK->setGeometry((249 - 75) / 2, 92, 75, 25);
    ButtonOK->setDefault(true);
    connect(ButtonOK, &QPushButton::clicked, this, &QDialog::accept);

    // Centred on the desktop, not on the window that opened it.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TFormAbout::setVersion(const QString &version)
{
    LabelVersion->setText(QStringLiteral("版本：Ver%1").arg(version));
}

void TFormAbout::LinkLabel1LinkClick(const QString &link)
{
    platform.openWithDefaultProgram(link);
}

void ShowAboutBox(Platform &platform, TFormAbout *&form, QWidget *owner, const QString &version)
{
    if (!form)
        form = new TFormAbout(platform, owner);
    form->setVersion(version);
    platform.showModal(form);
}
