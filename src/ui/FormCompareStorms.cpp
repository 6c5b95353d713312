#include "FormCompareStorms.h"
#include "WindowFont.h"

#include "core/Numbers.h"
#include "core/StormFamily.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QVBoxLayout>

const std::vector<double> &TFormCompareStorms::UsualPeriods()
{
    static const std::vector<double> periods = {1, 2, 3, 5, 10, 20, 30, 50, 100};
    return periods;
}

TFormCompareStorms::TFormCompareStorms(const TCompareChoice &choice, const QString &current, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FormCompareStorms"));
    setWindowTitle(QStringLiteral("对比暴雨"));
    setFont(WindowFont());
    auto *layout = new QVBoxLayout(this);

    auto *note = new QLabel(QStringLiteral("当前雨型 %1 总是列入对比；其余暴雨的公式、历时和步长与它相同。\n最多对比%2场暴雨。")
                                .arg(current)
                                .arg(MaxFamilyStorms),
                            this);
    note->setObjectName(QStringLiteral("Label_CompareCurrent"));
    layout->addWidget(note);

    byPeriod = new QRadioButton(QStringLiteral("按重现期对比"), this);
    byPeriod->setObjectName(QStringLiteral("Radio_ByPeriod"));
    layout->addWidget(byPeriod);
    auto *periods = new QGroupBox(this);
    auto *grid = new QGridLayout(periods);
    int column = 0;
    for (double P : UsualPeriods()) {
        auto *box = new QCheckBox(QStringLiteral("%1年").arg(FormatGeneral(P)), periods);
        box->setObjectName(QStringLiteral("Check_P%1").arg(FormatGeneral(P)));
        grid->addWidget(box, column / 5, column % 5);
        ++column;
        periodBoxes.push_back(box);
    }
    otherPeriods = new QLineEdit(periods);
    otherPeriods->setObjectName(QStringLiteral("Edit_OtherPeriods"));
    otherPeriods->setPlaceholderText(QStringLiteral("其他重现期，如 0.5, 200"));
    grid->addWidget(new QLabel(QStringLiteral("其他(年)："), periods), 2, 0);
    grid->addWidget(otherPeriods, 2, 1, 1, 4);
    layout->addWidget(periods);

    byRatio = new QRadioButton(QStringLiteral("按峰值比例对比"), this);
    byRatio->setObjectName(QStringLiteral("Radio_ByRatio"));
    layout->addWidget(byRatio);
    ratios = new QLineEdit(this);
    ratios->setObjectName(QStringLiteral("Edit_Ratios"));
    ratios->setPlaceholderText(QStringLiteral("峰值比例r，如 0.3, 0.4, 0.5"));
    layout->addWidget(ratios);

    auto *buttons = new QDialogButtonBox(this);
    auto *ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("ButtonOK"));
    ok->setDefault(true);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("ButtonCancle"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(byPeriod, &QRadioButton::toggled, this, [this] { enableRows(); });
    showChoice(choice);
}

void TFormCompareStorms::showChoice(const TCompareChoice &choice)
{
    (choice.Int_CompareBy == 1 ? byRatio : byPeriod)->setChecked(true);
    // The usual periods tick their boxes; whatever else was chosen stays typed.
    QStringList others;
    for (const QString &item : choice.Str_ComparePeriods.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        double P = 0;
        const auto usual = std::find_if(UsualPeriods().begin(), UsualPeriods().end(),
                                        [&](double p) { return TryParseNumber(item, P) && P == p; });
        if (usual != UsualPeriods().end())
            periodBoxes[static_cast<size_t>(usual - UsualPeriods().begin())]->setChecked(true);
        else
            others.append(item.trimmed());
    }
    otherPeriods->setText(others.join(QStringLiteral(", ")));
    ratios->setText(QString(choice.Str_CompareRatios).replace(QLatin1Char(','), QStringLiteral(", ")));
    enableRows();
}

void TFormCompareStorms::enableRows()
{
    const bool periods = byPeriod->isChecked();
    for (QCheckBox *box : periodBoxes)
        box->setEnabled(periods);
    otherPeriods->setEnabled(periods);
    ratios->setEnabled(!periods);
}

TCompareChoice TFormCompareStorms::choice() const
{
    TCompareChoice c;
    c.Int_CompareBy = byRatio->isChecked() ? 1 : 0;
    QStringList periods;
    for (size_t k = 0; k < periodBoxes.size(); ++k) {
        if (periodBoxes[k]->isChecked())
            periods.append(FormatGeneral(UsualPeriods()[k]));
    }
    const QString typed = otherPeriods->text().simplified();
    if (!typed.isEmpty())
        periods.append(typed);
    // Stored comma-separated; what the user typed is kept as typed, to be named if wrong.
    static const QRegularExpression separators(QStringLiteral("\\s*[,，;；]\\s*|\\s+"));
    c.Str_ComparePeriods = periods.join(QLatin1Char(',')).split(separators, Qt::SkipEmptyParts).join(QLatin1Char(','));
    c.Str_CompareRatios = ratios->text().simplified().split(separators, Qt::SkipEmptyParts).join(QLatin1Char(','));
    return c;
}
