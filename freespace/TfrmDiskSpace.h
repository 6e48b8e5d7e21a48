#pragma once

// The free-space wizard: page "Default" offers the fixed and removable
// drives and the Wipe methods; page "Wipe" starts and stops the run and
// follows it in the log, the progress bar and the elapsed time. The run is
// a TDiskWiper thread that drives this window through WipeWindow, always on
// the window's thread.

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTableWidget>
#include <QElapsedTimer>
#include <QTimer>
#include <array>
#include <optional>

#include "freespace/DiskWiper.h"
#include "freespace/WipeWindow.h"
#include "platform/qt/QtWindowThread.h"
#include "sysinfo/TtvAPIThing.h"

namespace quenlo::gui {

// "hh:nn:ss" of `seconds`, modulo 24 hours.
QString ElapsedTimeText(std::int64_t seconds);

class TfrmDiskSpace : public QDialog, public freespace::WipeWindow {
    Q_OBJECT
public:
    TfrmDiskSpace();
    ~TfrmDiskSpace() override;
    void FormCreate() {}

    QStackedWidget* Notebook1;
    // Page "Default".
    QLabel* Label2;
    QScrollArea* ScrollBox1;
    QLabel* Image1;
    QLabel* Label1;
    QComboBox* cmbAlg;
    QPushButton* bNext;
    // Page "Wipe".
    QLabel* labPGLabel;
    QLabel* labTime2;
    QLabel* labTime;
    QLabel* labEstimate;
    QLabel* panDisk;
    QProgressBar* pbWipe;
    QTableWidget* LV;
    QPushButton* bBack;
    QPushButton* bStart;
    QPushButton* btnStop;
    QTimer* Timer1;

    sysinfo::TtvAPIThing tvAPIThing1;

    // The drive slots 1..20 (slot 0 is never used): the root's label and
    // the check box captioned with the volume label.
    static constexpr int kSlots = 21;
    std::array<QLabel*, kSlots> driveLabels{};
    std::array<QCheckBox*, kSlots> driveChecks{};

    // Page "Default", the drive list, then modal; returns once closed.
    void ShowWizard();
    void UcitajDrajvove();
    void StartWipe(const std::string& drives);

    void bNextClick();
    void bBackClick();
    void bStartClick();
    void btnStopClick();
    void Notebook1PageChanged(int page);
    void FormShow();
    // True when the window may close; shows why not otherwise.
    bool FormCloseQuery();
    void FormClose();
    void Timer1Timer();

    // A run's thread is alive (from Start to its last step).
    bool RunAlive() const { return runAlive_; }
    bool WipeRunning() const { return wipeRunning_; }

    // freespace::WipeWindow
    bool StopRequested() const override { return stopRequested_; }
    void SetWipeRunning(bool running) override { wipeRunning_ = running; }
    void SetDiskCaption(std::string_view caption) override;
    void AddLogLine(std::string_view caption, int icon) override;
    void SetProgressRange(std::int64_t minimum, std::int64_t maximum) override;
    void SetProgressPosition(std::int64_t position) override;
    void SetStartVisible(bool visible) override { bStart->setVisible(visible); }
    void SetStopVisible(bool visible) override { btnStop->setVisible(visible); }
    void SetBackEnabled(bool enabled) override { bBack->setEnabled(enabled); }
    void StartElapsedTime() override;
    void StopElapsedTime() override { Timer1->stop(); }
    void WipeThreadEnded() override { runAlive_ = false; }

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void ShowEstimate(int method);

    platform::QtWindowThread windowThread_{this};
    bool stopRequested_ = false;
    bool wipeRunning_ = false;
    bool runAlive_ = false;
    // Read at each tick, so a busy window thread never slows the count.
    QElapsedTimer elapsed_;
    // A measured write rate, kept for the window's life.
    std::optional<double> measuredRate_;
};

}  // namespace quenlo::gui
