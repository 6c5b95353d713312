#pragma once
#include "core/StormModel.h"
#include "settings/Options.h"
// The formula compiled from a rain gauge's record: the record read, each year's maxima, a
// frequency curve per duration on probability paper, the i-t-P table read off the curves,
// the formula fitted to it and the peak ratio r of the same years. A table of annual maxima
// does as well, without r. Years can be left out one by one; everything follows at once.
// Reading a long record takes a moment, so it runs on a worker thread with a progress bar
// and can be cancelled; the compilation, which takes a moment too, runs on a worker as well.
#include "core/FormulaCompilation.h"
#include <QDialog>
#include <memory>
#include <optional>

class Platform;
class FrequencyChart;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;
class TextTableView;

struct CompileMailbox;
struct ReadOutcome;
struct CompileOutcome;

class TFormCompileFormula : public QDialog {
    Q_OBJECT
public:
    // `qiRatio` is the settings' q-i ratio. `recordFolder` is where "打开..." starts, the
    // folder of the last record read; reading one moves it there.
    TFormCompileFormula(Platform &platform, double qiRatio, QString &recordFolder, QWidget *parent = nullptr);
    ~TFormCompileFormula() override;

    // The compiled formula, coefficients rounded as shown; empty until one is compiled.
    std::optional<TotalFormula> formula() const;
    // r of the years used, rounded as the formula's coefficients; empty for a table of maxima.
    std::optional<double> peakRatio() const;

    void ButtonOpenClick();
    // Reads a record or a table of annual maxima (told apart by its first line).
    void openFile(const QString &path);
    void ButtonStopReadClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void readProgress(int generation, double fraction);
    void readArrived(int generation, const ReadOutcome &outcome);
    void setReading(bool reading);
    void fillYears();
    void yearTicked(int row);
    std::vector<YearMaxima> tickedYears() const;
    void recompile();
    void compileArrived(int generation, const CompileOutcome &outcome);
    void showCompilation();
    void showFailure(const QString &reason);
    void drawChart();
    void copyYears();
    void ButtonReportClick();

    Platform &platform;
    double qiRatio;
    QString &recordFolder;
    std::shared_ptr<CompileMailbox> mailbox;
    int readGeneration = 0;
    int compileGeneration = 0;

    // What was read: every year, whether it came with peak places, and from where.
    std::vector<YearMaxima> years;
    bool fromRecord = false;
    int step = 0;
    QString source;
    // The last compilation shown and the years it used.
    std::optional<FormulaCompilation> compiled;
    std::vector<YearMaxima> usedYears;

    QPushButton *ButtonOpen;
    QLabel *LabelSource;
    QProgressBar *ProgressRead;
    QPushButton *ButtonStopRead;
    QComboBox *ComboBox_Dist;
    QDoubleSpinBox *Edit_CsCv;
    QComboBox *ComboBox_Duration;
    QTableWidget *GridYears;
    QLabel *LabelYears;
    FrequencyChart *ChartFrequency;
    TextTableView *GridMaxima;
    TextTableView *GridCurves;
    TextTableView *GridTable;
    TextTableView *GridRatio;
    QProgressBar *ProgressCompile;
    QLabel *LabelFormula;
    QLabel *LabelAccuracy;
    QLabel *LabelRatio;
    QPushButton *ButtonOK;
    QPushButton *ButtonReport;
    // The storm the report's design storm takes its duration and step from, and the settings
    // of its table and chart; without them there is no report.
    std::optional<TExpressionObject> reportBase;
    TOptions reportOptions;

public:
    void setReportBasis(const TExpressionObject &base, const TOptions &options);
};
